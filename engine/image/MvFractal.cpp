// Boundary tracing of escape-time fractals.
//
// The grid of counts is one cell larger than the picture on every side; the
// frame of border cells holds kBorder, so that a neighbour test never leaves
// the grid, and 0 marks a cell not yet computed. A cell is traced by
// computing it and its four neighbours; wherever it differs from one of
// them, the neighbours along that edge (and the diagonals between two such
// edges) are queued in turn, so the computation follows the contours.
// Everything inside a closed contour has the contour's count and is filled.
#include "image/MvFractal.h"

#include "image/MvColourTable.h"
#include "image/MvPixelConvert.h"
#include "image/MvTraceQueue.h"
#include "platform/MvInterruptPoll.h"

#include <algorithm>
#include <functional>

namespace {

constexpr std::uint16_t kNotComputed = 0;
constexpr std::uint16_t kBorder = 0xFFFE;
constexpr std::uint16_t kInside = 0xFFFF;

std::int32_t clampedDepth(std::int32_t depth) { return std::max(0, std::min(depth, 32000)); }

// The counts of one picture (or of the computed part of a symmetric one),
// with the point of each pixel given by pointOf.
class Tracer {
public:
    typedef std::function<void(std::int32_t, std::int32_t, double&, double&)> PointOf;
    typedef std::function<std::uint16_t(double, double)> CountOf;

    Tracer(std::int32_t width, std::int32_t height, CountOf countOf)
        : width_(width), height_(height), stride_(width + 2),
          grid_(static_cast<std::size_t>(width + 2) * (height + 2), kNotComputed),
          queued_(grid_.size(), 0), countOf_(std::move(countOf)) {
        for (std::int32_t x = -1; x <= width; ++x) {
            cell(x, -1) = kBorder;
            cell(x, height) = kBorder;
        }
        for (std::int32_t y = 0; y < height; ++y) {
            cell(-1, y) = kBorder;
            cell(width, y) = kBorder;
        }
    }

    void trace(const PointOf& pointOf) {
        pointOf_ = pointOf;
        if (width_ <= 0 || height_ <= 0)
            return;
        for (std::int32_t x = 0; x < width_; ++x) {
            enqueue(x, 0);
            enqueue(x, height_ / 2);
            enqueue(x, height_ - 1);
        }
        for (std::int32_t y = 0; y < height_; ++y) {
            enqueue(0, y);
            enqueue(width_ - 1, y);
        }
        while (!queue_.empty()) {
            const std::uint32_t task = queue_.pop();
            scan(static_cast<std::int32_t>(task % stride_) - 1,
                 static_cast<std::int32_t>(task / stride_) - 1);
        }
    }

    // Row by row: a cell never computed takes the count of its left neighbour.
    std::uint16_t filled(std::int32_t x, std::int32_t y) {
        std::uint16_t& c = cell(x, y);
        if (c == kNotComputed)
            c = x > 0 ? cell(x - 1, y) : load(x, y);
        return c;
    }

private:
    std::uint16_t& cell(std::int32_t x, std::int32_t y) {
        return grid_[static_cast<std::size_t>(y + 1) * stride_ + (x + 1)];
    }

    std::uint16_t load(std::int32_t x, std::int32_t y) {
        std::uint16_t& c = cell(x, y);
        if (c == kNotComputed) {
            double px = 0, py = 0;
            pointOf_(x, y, px, py);
            c = countOf_(px, py);
        }
        return c;
    }

    void enqueue(std::int32_t x, std::int32_t y) {
        if (cell(x, y) == kBorder)
            return;
        const std::uint32_t index = static_cast<std::uint32_t>(y + 1) * stride_ + (x + 1);
        if (queued_[index])
            return;
        queued_[index] = 1;
        queue_.push(index);
    }

    bool differs(std::uint16_t centre, std::int32_t x, std::int32_t y) {
        return cell(x, y) != kBorder && load(x, y) != centre;
    }

    void scan(std::int32_t x, std::int32_t y) {
        const std::uint16_t centre = load(x, y);
        const bool left = differs(centre, x - 1, y), right = differs(centre, x + 1, y);
        const bool up = differs(centre, x, y - 1), down = differs(centre, x, y + 1);
        if (left)
            enqueue(x - 1, y);
        if (right)
            enqueue(x + 1, y);
        if (up)
            enqueue(x, y - 1);
        if (down)
            enqueue(x, y + 1);
        if (up || left)
            enqueue(x - 1, y - 1);
        if (up || right)
            enqueue(x + 1, y - 1);
        if (down || left)
            enqueue(x - 1, y + 1);
        if (down || right)
            enqueue(x + 1, y + 1);
    }

    std::int32_t width_, height_, stride_;
    std::vector<std::uint16_t> grid_;
    std::vector<std::uint8_t> queued_;
    MvTraceQueue queue_;
    CountOf countOf_;
    PointOf pointOf_;
};

std::int32_t signedCount(std::uint16_t c) { return c == kInside ? -1 : c; }

void noteSmallest(MvFractalCounts& counts) {
    std::int32_t smallest = 0;
    for (std::int32_t c : counts.counts)
        if (c > 0 && (smallest == 0 || c < smallest))
            smallest = c;
    counts.smallest = smallest == 0 ? 1 : smallest;
}

// The escape count in the grid's form, polling for a stop now and then.
Tracer::CountOf gridCount(bool julia, double jx, double jy, std::int32_t depth,
                          MvYieldPoll& poll) {
    return [=, &poll](double px, double py) -> std::uint16_t {
        const std::int32_t n = julia ? MvEscapeCount(px, py, jx, jy, depth)
                                     : MvEscapeCount(0, 0, px, py, depth);
        poll.tick(static_cast<std::uint64_t>(n < 0 ? depth : n) + 1);
        return n < 0 ? kInside : static_cast<std::uint16_t>(n);
    };
}

void mandelbrotPoint(const MvMandelbrotView& view, std::int32_t i, std::int32_t j, double& px,
                     double& py) {
    const double step = view.scale / (view.height - 1);
    px = view.x - ((view.width + 1) / 2) * step + i * step;
    py = view.y + ((view.height + 1) / 2) * step - j * step;
}

} // namespace

std::int32_t MvEscapeCount(double zx, double zy, double cx, double cy, std::int32_t depth) {
    for (std::int32_t steps = 1; steps <= depth; ++steps) {
        const double t = zx * zx;
        const double u = zy * zy;
        zy = 2 * zx * zy + cy;
        if (t + u > 4)
            return steps;
        zx = t - u + cx;
    }
    return -1;
}

MvFractalCounts MvTraceMandelbrot(const MvMandelbrotView& view) {
    MvFractalCounts result;
    result.width = std::max(view.width, 0);
    result.height = std::max(view.height, 0);
    MvYieldPoll poll;
    Tracer tracer(result.width, result.height,
                  gridCount(false, 0, 0, clampedDepth(view.depth), poll));
    tracer.trace([&](std::int32_t i, std::int32_t j, double& px, double& py) {
        mandelbrotPoint(view, i, j, px, py);
    });
    result.counts.resize(static_cast<std::size_t>(result.width) * result.height);
    for (std::int32_t y = 0; y < result.height; ++y)
        for (std::int32_t x = 0; x < result.width; ++x)
            result.counts[static_cast<std::size_t>(y) * result.width + x] =
                signedCount(tracer.filled(x, y));
    noteSmallest(result);
    return result;
}

MvFractalCounts MvMandelbrotEveryPixel(const MvMandelbrotView& view) {
    MvFractalCounts result;
    result.width = std::max(view.width, 0);
    result.height = std::max(view.height, 0);
    result.counts.resize(static_cast<std::size_t>(result.width) * result.height);
    for (std::int32_t y = 0; y < result.height; ++y)
        for (std::int32_t x = 0; x < result.width; ++x) {
            double px = 0, py = 0;
            mandelbrotPoint(view, x, y, px, py);
            result.counts[static_cast<std::size_t>(y) * result.width + x] =
                MvEscapeCount(0, 0, px, py, clampedDepth(view.depth));
        }
    noteSmallest(result);
    return result;
}

// The set is symmetric under z -> -z: the upper half of the rows and one
// more are traced, the lower half is their point mirror.
MvFractalCounts MvTraceJulia(const MvJuliaView& view) {
    MvFractalCounts result;
    const std::int32_t size = std::max(view.size, 0);
    result.width = result.height = size;
    const std::int32_t traced = std::min(size, size / 2 + 1);
    const double step = view.scale / (size - 1);
    MvYieldPoll poll;
    Tracer tracer(size, traced, gridCount(true, view.cx, view.cy, clampedDepth(view.depth), poll));
    tracer.trace([&](std::int32_t i, std::int32_t j, double& px, double& py) {
        px = -view.scale / 2 + i * step;
        py = view.scale / 2 - j * step;
    });
    result.counts.resize(static_cast<std::size_t>(size) * size);
    for (std::int32_t y = 0; y < traced; ++y)
        for (std::int32_t x = 0; x < size; ++x)
            result.counts[static_cast<std::size_t>(y) * size + x] = signedCount(tracer.filled(x, y));
    for (std::int32_t y = traced; y < size; ++y)
        for (std::int32_t x = 0; x < size; ++x)
            result.counts[static_cast<std::size_t>(y) * size + x] =
                result.counts[static_cast<std::size_t>(size - 1 - y) * size + (size - 1 - x)];
    noteSmallest(result);
    return result;
}

MvPixelArray<bcPix> MvColourFractal(const MvFractalCounts& counts, const ColourTable& table) {
    MvPixelArray<bcPix> frame(counts.width, counts.height);
    for (std::int32_t y = 0; y < counts.height; ++y) {
        bcPix* row = frame.row(y);
        for (std::int32_t x = 0; x < counts.width; ++x)
            row[x] = MvPixel::unpackARGB(
                table.colourOf(counts.counts[static_cast<std::size_t>(y) * counts.width + x]));
    }
    return frame;
}
