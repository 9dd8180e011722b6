// Function definitions, type specifications and assignment targets.
#include "MorvaneParentParser.h"

#include "MvTokenClasses.h"
#include "morvane/MvTokens.h"
#include "plugins/MvFunctionContainer.h"
#include "plugins/MvPluginRegistry.h"
#include "plugins/MvPluginSignature.h"

namespace {

// The value kind a type word stands for; video_track names no kind.
bool kindOfTypeWord(int type, MvTypeEnum& kind) {
    switch (type) {
    case MV_TOK_FRAME_MONO: kind = MvTypeFrameMono; return true;
    case MV_TOK_FRAME: kind = MvTypeFrame; return true;
    case MV_TOK_IMAGE_MONO: kind = MvTypeImageMono; return true;
    case MV_TOK_IMAGE: kind = MvTypeImage; return true;
    case MV_TOK_LIST: kind = MvTypeList; return true;
    case MV_TOK_TEXT: kind = MvTypeText; return true;
    case MV_TOK_DATE: kind = MvTypeDate; return true;
    case MV_TOK_NUMBER: kind = MvTypeNumber; return true;
    case MV_TOK_BOOLEAN: kind = MvTypeBoolean; return true;
    case MV_TOK_VECTOR: kind = MvTypeVector; return true;
    case MV_TOK_COLOR: kind = MvTypeColor; return true;
    case MV_TOK_MOVIE: kind = MvTypeMovie; return true;
    case MV_TOK_VIDEOSOURCE: kind = MvTypeVideoSource; return true;
    case MV_TOK_VIDEOOUTPUT: kind = MvTypeVideoOutput; return true;
    default: return false;
    }
}

} // namespace

// define [name-space .] name [( [parameter (, parameter)*] )] [returns type] block
// #(define [name-space] name parameter... [type...] block)
//
// The function's name is the context of its parameters and body. When the
// definition is complete the function is registered in the session's own
// registry, so a call may come before the definition in the text. A broken
// definition is reported, skipped up to and including the next "end", and
// neither kept in the tree nor registered.
MorvaneParentParser::Node MorvaneParentParser::functionDefinition() {
    Node definition = leaf();
    std::string nameSpace;
    std::string name;
    bool entered = false;
    try {
        Children children(definition.get());
        if (laType() == MV_TOK_IDENT && laType(2) == MV_TOK_DOT) {
            Node space = leaf();
            nameSpace = space->text;
            children.add(std::move(space));
            take();   // "."
        }
        Node function = match(MV_TOK_IDENT);
        name = function->text;
        children.add(std::move(function));
        enterContext(name);
        entered = true;

        std::vector<MvPluginParameter> parameters;
        if (laType() == MV_TOK_LPAREN) {
            take();
            if (laType() != MV_TOK_RPAREN) {
                parameter(children, parameters);
                while (laType() == MV_TOK_COMMA) {
                    take();
                    parameter(children, parameters);
                }
            }
            matchDrop(MV_TOK_RPAREN);
        }
        MvType resultType = MvType::MvTypeAny();
        if (laType() == MV_TOK_RETURN) {
            take();
            resultType = typeSpec(children);
        }
        if (laType() != MV_TOK_BEGIN)
            throw Mismatched{};
        children.add(beginBlock());

        entered = false;
        leaveContext(name);
        registerFunction(definition.get(), nameSpace.empty() ? MvInternalNameSpace : nameSpace,
                         name, parameters, resultType);
        return definition;
    } catch (const Mismatched&) {
    } catch (const NoViable&) {
    }
    reportSyntaxError("Unrecognized function definition.");
    skipPast(MV_TOK_END);
    if (entered)
        leaveContext(name);
    return nullptr;
}

// [type] [&] name [-> default] : #(name [type-leaves...] [-> default]).
// The name is declared in the function's context before its default is
// read, so a default may use the parameters before it.
void MorvaneParentParser::parameter(Children& definition,
                                    std::vector<MvPluginParameter>& parameters) {
    MvAST types(0, std::string_view(), 0);
    Children typeLeaves(&types);
    MvType type = MvType::MvTypeAny();
    int next = laType();
    if (next == MV_TOK_ANY || next == MV_TOK_NONE || next == MV_TOK_LPAREN || mvIsTypeWord(next))
        type = typeSpec(typeLeaves);
    bool byReference = false;
    if (laType() == MV_TOK_REF_PARAMETER) {
        take();
        byReference = true;
    }
    Node nameNode = match(MV_TOK_IDENT);
    declareLocal(nameNode->text);

    MvPluginParameter described;
    described.name = nameNode->text;
    Children children(nameNode.get());
    children.add(std::move(types.firstChild));
    if (laType() == MV_TOK_PARAM_ASSIGN) {
        children.add(leaf());
        Node defaultValue = expression();
        described.defaultExpression = defaultValue.get();
        children.add(std::move(defaultValue));
        described.dynamic = true;     // evaluated by the function when left out
    } else {
        described.required = true;
    }
    type.setReference(byReference);
    described.type = type;
    described.isReference = byReference;
    described.consumed = byReference ? MvArgumentByReference : MvArgumentConsumed;
    definition.add(std::move(nameNode));
    parameters.push_back(std::move(described));
}

// any | none | type-word | ( type-word (| type-word)* ) ; the words become
// leaves, the brackets and bars are dropped.
MvType MorvaneParentParser::typeSpec(Children& into) {
    int type = laType();
    if (type == MV_TOK_ANY) {
        into.add(leaf());
        return MvType::MvTypeAny();
    }
    if (type == MV_TOK_NONE) {
        into.add(leaf());
        return MvType();
    }
    MvType kinds;
    MvTypeEnum kind;
    if (type != MV_TOK_LPAREN) {
        Node word = typeWord();
        if (kindOfTypeWord(word->tokenType, kind))
            kinds.add(kind);
        into.add(std::move(word));
        return kinds;
    }
    take();
    for (;;) {
        Node word = typeWord();
        if (kindOfTypeWord(word->tokenType, kind))
            kinds.add(kind);
        into.add(std::move(word));
        if (laType() != MV_TOK_BAR)
            break;
        take();
    }
    matchDrop(MV_TOK_RPAREN);
    return kinds;
}

MorvaneParentParser::Node MorvaneParentParser::typeWord() {
    if (!mvIsTypeWord(laType()))
        throw Mismatched{};
    return leaf();
}

// A script function is one signature: every parameter may be given by name,
// a parameter without default is required, one with a default is left empty
// for the function to evaluate its default expression.
void MorvaneParentParser::registerFunction(const MvAST* definition, const std::string& nameSpace,
                                           const std::string& name,
                                           std::vector<MvPluginParameter>& parameters,
                                           const MvType& resultType) {
    auto signature = std::make_unique<MvPluginSignature>(
        static_cast<std::uint32_t>(parameters.size()), resultType,
        std::make_unique<MvFunctionContainerLocal>(definition));
    for (MvPluginParameter& described : parameters)
        signature->addParameter(std::move(described));
    getLocalFunctions().insert(nameSpace, name, std::move(signature));
}

// ---------------------------------------------------------------- targets

bool MorvaneParentParser::canBeginTarget() {
    switch (laType()) {
    case MV_TOK_FILE:
    case MV_TOK_GLOBAL:
    case MV_TOK_LOCAL:
    case MV_TOK_WINDOW:
    case MV_TOK_CLIPBOARD:
    case MV_TOK_IDENT:
        return true;
    default:
        return mvIsPropertyKeyword(laType()) && laType(2) == MV_TOK_OF;
    }
}

// A target where anything but a target stands is reported and skipped up
// to the ";" of its statement.
MorvaneParentParser::Node MorvaneParentParser::target() {
    try {
        if (!canBeginTarget())
            throw NoViable{};
        return targetBody();
    } catch (const NoViable&) {
        reportSyntaxError("This expression cannot be set.");
        skipTo(MV_TOK_SEMI);
        return nullptr;
    }
}

// file e                      #(file e)
// [global|local] window e     the window leaf, then e as its sibling
// ClipBoard                   the leaf
// property of e               #(of property e)
// variable [index]...         the variable, wrapped by index nodes
MorvaneParentParser::Node MorvaneParentParser::targetBody() {
    switch (laType()) {
    case MV_TOK_FILE:
        return fileExpression();
    case MV_TOK_WINDOW: {
        Node window = windowWords();
        window->nextSibling = urlExpression();
        return window;
    }
    case MV_TOK_GLOBAL:
    case MV_TOK_LOCAL:
        if (laType(2) == MV_TOK_WINDOW) {
            Node window = windowWords();
            window->nextSibling = urlExpression();
            return window;
        }
        return postfixIndexes(variable(true));
    case MV_TOK_CLIPBOARD:
        return leaf();
    default:
        break;
    }
    if (mvIsPropertyToken(laType()) && laType(2) == MV_TOK_OF) {
        Node property = propertyName();
        Node of = leaf();
        Children children(of.get());
        children.add(std::move(property));
        children.add(ofExpression());
        return of;
    }
    if (laType() == MV_TOK_IDENT)
        return postfixIndexes(variable(true));
    throw NoViable{};
}

// global name : #(global name), declared global.
// local name : #(local name); name : #(#[local] name); both declared in the
// current context.
MorvaneParentParser::Node MorvaneParentParser::variable(bool declare) {
    Node scope;
    if (laType() == MV_TOK_GLOBAL || laType() == MV_TOK_LOCAL)
        scope = leaf();
    Node name = match(MV_TOK_IDENT);
    bool global = scope && scope->tokenType == MV_TOK_GLOBAL;
    if (!scope)
        scope = imaginary(MV_TOK_LOCAL, "local", name->line);
    if (declare) {
        if (global)
            declareGlobal(name->text);
        else
            declareLocal(name->text);
    }
    Children(scope.get()).add(std::move(name));
    return scope;
}

// window | local window -> #[local_window]; global window -> #[global_window]
MorvaneParentParser::Node MorvaneParentParser::windowWords() {
    MvToken first = take();
    if (first.type == MV_TOK_WINDOW)
        return imaginary(MV_TOK_LOCAL_WINDOW, "local_window", first.line);
    matchDrop(MV_TOK_WINDOW);
    if (first.type == MV_TOK_GLOBAL)
        return imaginary(MV_TOK_GLOBAL_WINDOW, "global_window", first.line);
    return imaginary(MV_TOK_LOCAL_WINDOW, "local_window", first.line);
}
