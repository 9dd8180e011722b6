// The parser of the script language: hand-written recursive descent with
// one token of lookahead (two where the grammar needs to tell a call from a
// variable, a property from an expression or a date from a number),
// building the syntax tree, recording syntax errors with their recovery,
// and registering the functions the script defines.
//
// Failures inside the grammar are C++ exceptions of two kinds, thrown by
// value and caught by the rules that handle them:
//   Mismatched  a word or symbol that the form requires is missing;
//   NoViable    the next token begins none of the rule's forms.
// A handler reports its message, skips to its recovery token and then
// either ends the failure (the rule returns, usually without a tree) or
// throws it on to the enclosing rules. programme() catches whatever
// reaches it, so neither kind ever leaves the parser. MvException objects
// (a context left in the wrong order) do leave it, for the session.
//
// Recovery conventions: skipping stops in front of the recovery token,
// except after an unrecognised word (the ";" goes too), a block missing its
// "end" and a broken function definition (both resume after the "end"). A
// statement whose handler ends the failure leaves no tree; a block keeps
// the statements parsed before its failure. The outermost expression rule
// reports a missing operand ("Expression syntax error.") and passes the
// failure on as a missing part of the enclosing form, so that the form's
// own message follows.
//
// The rule functions are spread over three files: statements
// (MvParseStatements.cpp), expressions (MvParseExpressions.cpp), and
// function definitions, types and assignment targets
// (MvParseDefinitions.cpp). This file's .cpp holds the hooks, the token
// helpers and the top rule.
#ifndef MORVANE_ENGINE_MORVANEPARENTPARSER_H
#define MORVANE_ENGINE_MORVANEPARENTPARSER_H

#include "MvAST.h"
#include "MvNameAddressSet.h"
#include "MvTokenBuffer.h"
#include "morvane/MvType.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class MvParser;
class MvPluginRegistry;
struct MvPluginParameter;

class MorvaneParentParser final {
public:
    MorvaneParentParser(MvTokenBuffer& tokens, MvParser* session);
    ~MorvaneParentParser();
    MorvaneParentParser(const MorvaneParentParser&) = delete;
    MorvaneParentParser& operator=(const MorvaneParentParser&) = delete;

    // Parses the whole programme; *root is set to none first, then to the
    // first element's tree (the elements are siblings). The context stack,
    // the initialised names and the other per-parse state start afresh.
    void programme(MvAST** root);

    // Hooks through which the grammar reports errors and talks to the session.
    // Nothing overrides them (the class is final), so their calls are direct.
    void reportSyntaxErrorAt(const std::string& text, const std::string& message);
    void reportSyntaxError(const std::string& message);
    void reportAppleScriptError(const std::string& message, int start, int length);
    void addErrorDetail(const std::string& message);
    MvPluginRegistry& getLocalFunctions();
    bool isFunctionDefined(const std::string& nameSpace, const std::string& name);
    void noteFunctionCall(int line, const std::string& nameSpace, const std::string& name);
    bool isInitialised(const std::string& name);
    void declareGlobal(const std::string& name);
    void declareLocal(const std::string& name);
    void enterContext(const std::string& name);
    void leaveContext(const std::string& name);

    // Deepest nesting of statements and of expressions the parser follows;
    // one level more is a syntax error (keeps the native stack bounded).
    static constexpr int kMaxStatementNesting = 400;
    static constexpr int kMaxExpressionNesting = 200;

private:
    using Node = std::unique_ptr<MvAST>;

    static bool isWordToken(const MvToken& token);

    struct Mismatched {};
    struct NoViable {};

    // Appends children at the end of a node in constant time; a child may
    // bring siblings of its own (a window word and its name).
    class Children {
    public:
        explicit Children(MvAST* parent);
        void add(Node child);

    private:
        MvAST* parent_;
        MvAST* last_;
    };

    // Counts one level of nesting for as long as it lives.
    class Nesting {
    public:
        Nesting(int& depth, int limit);
        ~Nesting() { --depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        int& depth_;
    };

    // The variable a set statement writes to, while its source is parsed.
    struct CircularCheck {
        bool active = false;
        bool global = false;
        const std::string* name = nullptr;   // the target's identifier text
        bool mentioned = false;
    };

    // --- tokens (MorvaneParentParser.cpp)
    // The next token is looked at many times per token taken, so the parser
    // keeps a pointer to it (elements of the buffer stay in place until they
    // are taken); the one after it is asked of the buffer.
    const MvToken& la(int k = 1) { return k == 1 ? *next_ : tokens_.lookahead(k); }
    int laType(int k = 1) { return k == 1 ? next_->type : tokens_.lookahead(k).type; }
    MvToken take();
    Node leaf();                     // the next token as a leaf
    Node match(int type);            // that token as a leaf, or Mismatched
    void matchDrop(int type);        // that token left out of the tree, or Mismatched
    Node imaginary(int type, const char* text, int line);   // a node of no token
    void skipTo(int type);           // up to that token or the end of input
    void skipPast(int type);         // the same, and that token too
    std::size_t position() const { return consumed_; }

    // --- top level and statements (MvParseStatements.cpp)
    Node element();
    Node statement();
    Node catchableStatement();
    Node beginBlock();
    Node emptyCommand();
    Node ifStatement();
    Node ifCondition();
    Node setStatement();
    Node setSource(bool& referenceForm);
    Node mathStatement();
    Node expressionStatement();
    Node printStatement();
    Node waitStatement();
    Node deleteStatement();
    Node returnStatement();
    Node plainCommand();
    Node scriptStatement();
    Node repeatStatement();
    Node repeatKind();
    void repeatModifiers(Children& loop);
    void repeatModifier(Children& loop);
    void statementList(Children& block, int endType);
    void addSibling(MvAST** root, MvAST*& last, Node node);

    // --- function definitions, types and targets (MvParseDefinitions.cpp)
    Node functionDefinition();
    void parameter(Children& definition, std::vector<MvPluginParameter>& parameters);
    MvType typeSpec(Children& into);
    Node typeWord();
    bool canBeginTarget();
    Node target();
    Node targetBody();
    Node variable(bool declare);
    Node windowWords();
    void registerFunction(const MvAST* definition, const std::string& nameSpace,
                          const std::string& name, std::vector<MvPluginParameter>& parameters,
                          const MvType& resultType);

    // --- expressions, loosest to tightest (MvParseExpressions.cpp)
    Node expression();
    Node relation();
    Node additive();
    Node windowExpression();
    Node urlExpression();
    Node fileExpression();
    Node withExpression();
    Node asExpression();
    Node ofExpression();
    Node unitExpression();
    Node multiplicative();
    Node plusExpression();
    Node minusExpression();
    Node notExpression();
    Node indexExpression(Node indexed);
    Node postfixIndexes(Node indexed);
    Node primary();
    Node identifierExpression();
    Node listLiteral();
    Node dateLiteral();
    std::string numberText(int type);
    Node parenthesised();
    Node functionCall();
    Node pluginCall();
    Node argument();
    Node argumentValue();
    Node propertyName();
    void noteVariable(bool global, const std::string& name);

    MvTokenBuffer& tokens_;
    MvParser* session_;
    MvASTArena* arena_ = nullptr;     // of the tree being built (see programme)
    std::vector<std::string> contexts_;
    std::unordered_set<std::string> initialised_;
    std::string key_;                 // reused to build context + name keys
    // Names found in or added to initialised_ for the current context, by
    // their node texts: a script names the same variables over and over,
    // and the full key costs a copy and a hash. Emptied whenever the context
    // changes; only filled when the texts are kept by an arena.
    MvNameAddressSet initialisedHere_;
    void rememberInitialisedHere(const std::string& name);
    CircularCheck circular_;
    const MvToken* next_ = nullptr;   // the buffer's next token
    std::size_t consumed_ = 0;        // tokens taken so far
    int statementDepth_ = 0;
    int expressionDepth_ = 0;
};

#endif
