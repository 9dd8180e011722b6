# Sourced by the benchmarks and peer tests that compare the engine with
# Python's libraries.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Prints the first python3 that can import MODULES (as an import statement
# lists them: "cv2, skimage"), installing the Debian PACKAGES when none can.
# The python3 first on the PATH may not be the system's (a version manager's,
# say), and only the system's sees the distribution's modules.
python_with() {
    local modules="$1" candidate
    shift
    for candidate in python3 /usr/bin/python3; do
        if "$candidate" -c "import $modules" 2>/dev/null; then
            echo "$candidate"
            return
        fi
    done
    echo "$modules for python is missing: installing $*" >&2
    as_root apt-get update -qq >&2
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
    echo /usr/bin/python3
}
