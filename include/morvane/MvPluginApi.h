// The native-function interface: what the built-in namespaces and plug-in
// libraries use to describe their functions, to read the arguments of a
// call and to report failure, and what hosts use to load plug-ins and to
// list the registered functions.
//
// A native function is a plain function
//     MvValue* fn(MvPluginErrorBlock* error, MvParameterBlock* params)
// that returns a new value (or null for no result) and reports failure by
// setting a message or a number in the error block. It is described by a
// signature: the declared parameters, the result type and a description.
//
// A plug-in library exports one entry point, PluginRegisterVersion001, under
// that plain name (write it with MV_PLUGIN_ENTRY_POINT); the engine calls it
// once from MvRegisterPlugin and it registers the library's functions:
//
//     MV_PLUGIN_ENTRY_POINT {
//         MvPluginSignature* s = MvPluginSignatureCreate(2, MvTypeNumber, &add);
//         MvPluginSignatureSetParam(s, MvTypeNumber, "x", MvParamRequired, MvArgumentNotConsumed);
//         MvPluginSignatureSetParam(s, MvTypeNumber, "y", MvNumberCreate(1), MvArgumentNotConsumed);
//         MvPluginSignatureCommit(s, "Sample", "Add", "Add y to x.");
//     }
//
// Every error raised by these functions is a script runtime error (a thrown
// MvException*); inside a native function it simply unwinds back to the
// script, which reports it.
#ifndef MORVANE_MVPLUGINAPI_H
#define MORVANE_MVPLUGINAPI_H

#include "MvExport.h"
#include "MvType.h"
#include "MvValue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MvListValue;
class MvTextValue;
class MvPluginSignature;
class MvParameterBlock;
class MvPluginErrorBlock;

// How a native function treats an argument.
enum MvEnumArgumentConsumed {
    MvArgumentNotConsumed = 0,   // only read: the caller's value is passed as it is
    MvArgumentConsumed = 1,      // the function receives its own copy and may change it
    MvArgumentByReference = 2    // the argument is a variable that the function may set
};

typedef MvValue* (*MvPluginFunction)(MvPluginErrorBlock* error, MvParameterBlock* params);

// The entry point every plug-in library exports.
typedef void (*MvPluginEntryPoint)();
#define MV_PLUGIN_ENTRY_NAME "PluginRegisterVersion001"

#if defined(_WIN32)
#  define MV_PLUGIN_ENTRY_EXPORT __declspec(dllexport)
#else
#  define MV_PLUGIN_ENTRY_EXPORT __attribute__((visibility("default")))
#endif
#define MV_PLUGIN_ENTRY_POINT extern "C" MV_PLUGIN_ENTRY_EXPORT void PluginRegisterVersion001()

// Special arguments of MvPluginSignatureSetParam: as the name, a parameter
// that is given by position only; as the default, a parameter the caller must
// give, or one the function generates itself when it is left out.
#define MvParamUnnamed (reinterpret_cast<const char*>(static_cast<std::intptr_t>(-3)))
#define MvParamRequired (reinterpret_cast<MvValue*>(static_cast<std::intptr_t>(-1)))
#define MvParamDynamic (reinterpret_cast<MvValue*>(static_cast<std::intptr_t>(-2)))

// ------------------------------------------------------------ registration

// A new signature with room for exactly parameterCount parameters. A null
// function raises "Nil function pointer in plug-in registration".
MV_C_API MvPluginSignature* MvPluginSignatureCreate(std::uint32_t parameterCount, MvType resultType,
                                                    MvPluginFunction function);
// Declares the next parameter. A type with its reference flag set makes the
// parameter by reference whatever consumed says. A default other than the
// special values is the default value; the descriptor takes a reference to it
// (a fresh value from a ...Create function is taken over). Declaring more
// parameters than the signature has room for raises a runtime error.
MV_C_API void MvPluginSignatureSetParam(MvPluginSignature* signature, MvType type,
                                        const char* name, MvValue* defaultValue,
                                        MvEnumArgumentConsumed consumed);
// Stores the description and enters the signature into the process-wide
// registry, which owns it from then on. Raises when the namespace is missing
// (or is the internal one) and when fewer parameters were declared than the
// signature was created for; the registry is then unchanged.
MV_C_API void MvPluginSignatureCommit(MvPluginSignature* signature, const char* nameSpace,
                                      const char* functionName, const char* description);

// ---------------------------------------------------------- reading arguments
//
// Parameters are named as declared (exact comparison); an unknown name raises
// "Internal named parameter error plugin". A left-out dynamic parameter is an
// empty entry: check it with MvParameterBlockIsDynamicGenerationRequired.

// The argument's current value, still held by the block (no new reference).
MV_C_API MvValue* MvParameterBlockGetValue(MvParameterBlock* block, const char* name);
// A value argument that no one else holds (a shared one is copied first).
MV_C_API MvValue* MvParameterBlockGetValueUnique(MvParameterBlock* block, const char* name);
// A by-reference argument's value, made unique, so that changing it in place
// changes the variable (call MvParameterBlockNotifyChange afterwards).
MV_C_API MvValue* MvParameterBlockGetValueMutable(MvParameterBlock* block, const char* name);
MV_C_API bool MvParameterBlockIsReferenceValue(MvParameterBlock* block, const char* name);
// The counted holder of a by-reference argument's variable (the end of its
// chain of references). Assigning, swapping or resetting through it keeps
// the reference counts right; a fresh value assigned to it is taken over.
// Call MvParameterBlockNotifyChange afterwards. Raises "Non l-value parameter
// in plug-in" for any other argument.
MV_EXPORT MvValueHolder& MvParameterBlockGetReferenceHolder(MvParameterBlock* block,
                                                            const char* name);
// The same slot as a raw pointer, for plug-ins written against the older
// interface: whatever is stored through it bypasses the reference counts, so
// a plug-in may only exchange the pointers of two such slots. Prefer
// MvParameterBlockGetReferenceHolder.
MV_C_API MvValue** MvParameterBlockGetReferenceValue(MvParameterBlock* block, const char* name);
// Makes a by-reference argument's variable hold value (a fresh value is taken over).
MV_C_API void MvParameterBlockSetValue(MvParameterBlock* block, const char* name, MvValue* value);
// Tells a by-reference argument's variable that its value changed in place.
MV_C_API void MvParameterBlockNotifyChange(MvParameterBlock* block, const char* name);
MV_C_API double MvParameterBlockGetNumberValue(MvParameterBlock* block, const char* name);
MV_C_API bool MvParameterBlockGetBooleanValue(MvParameterBlock* block, const char* name);
// The text's own buffer, valid while the argument lives.
MV_C_API const char* MvParameterBlockGetTextValue(MvParameterBlock* block, const char* name);
MV_C_API bool MvParameterBlockCompareTextValue(MvParameterBlock* block, const char* name,
                                               const char* text);
MV_C_API std::int32_t MvParameterBlockGetVectorLength(MvParameterBlock* block, const char* name);
MV_C_API double MvParameterBlockGetVectorValue(MvParameterBlock* block, const char* name,
                                               std::int32_t index);
// True when the parameter is dynamic and the caller left it out.
MV_C_API bool MvParameterBlockIsDynamicGenerationRequired(MvParameterBlock* block,
                                                          const char* name);

// --------------------------------------------------------- reporting failure
//
// A call fails when the error number is not 0. Setting a message or a URL
// while the number is still 0 makes it -1, so a message alone is a failure.
// The script sees "Plugin failed with error (#N):", a line end, and a tab
// before the message and before the URL when they are given.
MV_C_API void MvPluginErrorBlockSetNumber(MvPluginErrorBlock* error, std::int32_t number);
MV_C_API void MvPluginErrorBlockSetMessage(MvPluginErrorBlock* error, const char* message);
MV_C_API void MvPluginErrorBlockSetURL(MvPluginErrorBlock* error, const char* url);

// ------------------------------------------------------------------ registry

// Functions by namespace and function name (both ordered byte-wise), each
// name with its overloads in registration order. One registry is
// process-wide: the built-in functions and those of plug-ins. The namespace
// "__MorvaneInternal" holds functions called without a namespace (only the
// script's own functions live there); listings hide its name.
//
// Every listing appends texts to list and returns it; a null list means a
// new list is made (the caller owns it).
class MV_EXPORT MvPluginRegistry {
public:
    using Overloads = std::vector<std::unique_ptr<MvPluginSignature>>;

    MvPluginRegistry();
    ~MvPluginRegistry();
    MvPluginRegistry(const MvPluginRegistry&) = delete;
    MvPluginRegistry& operator=(const MvPluginRegistry&) = delete;

    // The process-wide registry, created empty on first use.
    static MvPluginRegistry* THE_PluginRegistry();

    // Every namespace name but the internal one.
    MvListValue* GetNameSpaceNames(MvListValue* list = nullptr);
    // Every function: internal ones by their bare name, others as NS.F.
    MvListValue* GetFunctionNames(MvListValue* list = nullptr);
    // The bare names of one namespace; raises "NameSpace doesn't exist".
    MvListValue* GetFunctionNames(const std::string& nameSpace, MvListValue* list = nullptr);
    MvListValue* GetFunctionNamesInternal(MvListValue* list = nullptr);
    // One text per signature: of every function, of one namespace, of one
    // function ("NameSpace doesn't exist", "Function doesn't exist").
    MvListValue* GetSignatures(MvListValue* list = nullptr);
    MvListValue* GetSignatures(const std::string& nameSpace, MvListValue* list = nullptr);
    MvListValue* GetSignatures(const std::string& nameSpace, const std::string& function,
                               MvListValue* list = nullptr);

    bool hasNameSpace(const std::string& nameSpace) const;
    bool hasFunction(const std::string& nameSpace, const std::string& name) const;
    bool hasInternalFunction(const std::string& name) const;

    // For the engine: adds a signature after the existing overloads (no
    // checks; committing checks first), and the overloads of a function or
    // null when there are none.
    void insert(const std::string& nameSpace, const std::string& name,
                std::unique_ptr<MvPluginSignature> signature);
    const Overloads* find(const std::string& nameSpace, const std::string& name) const;

private:
    struct NameSpaces;
    std::unique_ptr<NameSpaces> nameSpaces_;
};

// Destroys the process-wide registry and every signature in it; the next use
// creates a new, empty one.
MV_C_API void MvDeletePluginRegistry();
// Registers the built-in namespaces (once per registry: a second call adds
// every signature again as an overload).
MV_C_API void MvPluginRegistryInitInternal();

// Loads one plug-in library and calls its entry point. Never raises: the
// status is 0 on success (message: the path); 47 when the library cannot be
// loaded (message: the path followed by ": PlugIn could not be loaded."); 48
// when it lacks the entry point (message: "PlugIn does not export the function
// PluginRegisterVersion001()"); 99 when the entry point raised (the functions
// committed before that stay registered). Libraries are never unloaded.
MV_C_API void MvRegisterPlugin(MvTextValue* message, std::int32_t* status, const char* path);

// Flat listings of the process-wide registry into a text value; the indexed
// ones return false when the index (or the namespace) is out of range.
MV_C_API bool MvPluginRegistryGetNameSpace(std::int32_t index, MvTextValue* out);
MV_C_API bool MvPluginRegistryGetFunctionName(const char* nameSpace, std::int32_t index,
                                              MvTextValue* out);
MV_C_API bool MvPluginRegistryGetFunctionNamesInternal(std::int32_t index, MvTextValue* out);
// Every signature text of the function, joined by line ends; for an unknown
// namespace or function out is left empty and the warning console says why
// (the texts GetSignatures raises).
MV_C_API void MvPluginRegistryGetSignature(const char* nameSpace, const char* function,
                                           MvTextValue* out);
MV_C_API void MvPluginRegistryGetSignatureInternal(const char* function, MvTextValue* out);

// The text itself when value is a text, else null (for the out arguments above).
MV_C_API MvTextValue* MvValueAsText(MvValue* value);
// A list as a value (for the listings of MvPluginRegistry: its text, deleting it).
MV_C_API MvValue* MvListAsValue(MvListValue* list);

#endif
