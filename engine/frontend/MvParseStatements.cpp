// Statement rules: elements, blocks, conditionals, set, the arithmetic and
// list statements, commands and loops.
#include "MorvaneParentParser.h"

#include "MvTokenClasses.h"
#include "morvane/MvTokens.h"

namespace {

// While a set statement's source is parsed, the variables it reads are
// compared with its target; the comparison stops when the statement ends,
// however it ends.
template <typename Check>
class ScopedCheck {
public:
    explicit ScopedCheck(Check& check) : check_(check) {}
    ~ScopedCheck() { check_.active = false; }
    ScopedCheck(const ScopedCheck&) = delete;
    ScopedCheck& operator=(const ScopedCheck&) = delete;

private:
    Check& check_;
};

} // namespace

// element: statement | function definition | a word that begins no
// statement. Such a word is kept as a leaf, reported, and the text up to
// and including the next ";" is dropped.
MorvaneParentParser::Node MorvaneParentParser::element() {
    int type = laType();
    if (type == MV_TOK_DEFINE)
        return functionDefinition();
    if (mvIsNonStatement(type)) {
        Node word = leaf();
        reportSyntaxError("Unrecognized statement.");
        skipPast(MV_TOK_SEMI);
        return word;
    }
    return statement();
}

// statement: catchable-statement [catch statement]
MorvaneParentParser::Node MorvaneParentParser::statement() {
    Nesting nesting(statementDepth_, kMaxStatementNesting);
    Node guarded = catchableStatement();
    if (laType() != MV_TOK_CATCH)
        return guarded;
    Node root = leaf();
    Children children(root.get());
    children.add(std::move(guarded));
    children.add(statement());
    return root;
}

MorvaneParentParser::Node MorvaneParentParser::catchableStatement() {
    int type = laType();
    switch (type) {
    case MV_TOK_BEGIN:
        return beginBlock();
    case MV_TOK_SEMI:
        return emptyCommand();
    case MV_TOK_IF:
        return ifStatement();
    case MV_TOK_REPEAT:
        return repeatStatement();
    case MV_TOK_SCRIPT:
        return scriptStatement();
    case MV_TOK_SET:
        return setStatement();
    case MV_TOK_ADD:
    case MV_TOK_SUBTRACT:
    case MV_TOK_MULTIPLY:
    case MV_TOK_DIVIDE:
    case MV_TOK_APPEND:
    case MV_TOK_PREPEND:
    case MV_TOK_INSERT:
        return mathStatement();
    case MV_TOK_PRINT:
        return printStatement();
    case MV_TOK_WAIT:
        return waitStatement();
    case MV_TOK_BEEP:
    case MV_TOK_BREAK:
        return plainCommand();
    case MV_TOK_DELETE:
        return deleteStatement();
    case MV_TOK_RETURN:
        return returnStatement();
    case MV_TOK_IDENT:
    case MV_TOK_POW:
        return expressionStatement();
    default:
        if (mvIsFunction1(type))
            return expressionStatement();
        throw NoViable{};
    }
}

// Statements while the next token can begin one.
void MorvaneParentParser::statementList(Children& block, int endType) {
    while (laType() != endType && mvCanBeginStatement(laType())) {
        std::size_t before = position();
        block.add(statement());
        if (position() == before)
            take();   // never loop on a token that no statement consumed
    }
}

// begin statement* end. A missing "end" (or any missing token that travels
// out of the statements inside) is reported here; the text is skipped up
// to and including the next "end" and parsing goes on after it.
MorvaneParentParser::Node MorvaneParentParser::beginBlock() {
    Node block = match(MV_TOK_BEGIN);
    Children children(block.get());
    try {
        statementList(children, MV_TOK_END);
        matchDrop(MV_TOK_END);
    } catch (const Mismatched&) {
        reportSyntaxError("Missing 'end'.");
        skipPast(MV_TOK_END);
    }
    return block;
}

// ";" alone is an empty block.
MorvaneParentParser::Node MorvaneParentParser::emptyCommand() {
    MvToken semi = take();
    return imaginary(MV_TOK_BEGIN, "begin", semi.line);
}

// if condition then statement [else statement]
// #(if c s), or with else #(else #(if c s) t).
MorvaneParentParser::Node MorvaneParentParser::ifStatement() {
    Node conditional = leaf();
    try {
        Children children(conditional.get());
        children.add(ifCondition());
        matchDrop(MV_TOK_THEN);
        children.add(statement());
        if (laType() != MV_TOK_ELSE)
            return conditional;
        Node alternative = leaf();
        Children branches(alternative.get());
        branches.add(std::move(conditional));
        branches.add(statement());
        return alternative;
    } catch (const Mismatched&) {
        reportSyntaxError("Expecting 'if <expression> then <statement>'.");
        skipTo(MV_TOK_END);
        return nullptr;
    }
}

// The condition reports its own failure, then lets the if statement report
// the whole form.
MorvaneParentParser::Node MorvaneParentParser::ifCondition() {
    try {
        return expression();
    } catch (const Mismatched&) {
        reportSyntaxError("Expecting a Boolean expression. For example: (x <= 5).");
        skipTo(MV_TOK_THEN);
        throw;
    }
}

// set target to expression ;            #(mark #(set target expression))
// set target to reference variable ;    #(nocircref #(set target reference variable))
// The mark is circref when the target is a single variable that the source
// expression reads in the same scope.
MorvaneParentParser::Node MorvaneParentParser::setStatement() {
    Node assignment = leaf();
    int line = assignment->line;
    try {
        if (!canBeginTarget())
            throw NoViable{};
        Children children(assignment.get());
        Node written = targetBody();
        bool single = written && !written->sibling() &&
                      (written->tokenType == MV_TOK_LOCAL || written->tokenType == MV_TOK_GLOBAL) &&
                      written->child();
        ScopedCheck<CircularCheck> scope(circular_);
        circular_.active = single;
        circular_.mentioned = false;
        if (single) {
            circular_.global = written->tokenType == MV_TOK_GLOBAL;
            circular_.name = &written->child()->text;
        }
        children.add(std::move(written));
        matchDrop(MV_TOK_TO);
        bool referenceForm = false;
        children.add(setSource(referenceForm));
        matchDrop(MV_TOK_SEMI);
        bool circular = single && !referenceForm && circular_.mentioned;
        Node mark = circular ? imaginary(MV_CIRC_REF, "circref", line)
                             : imaginary(MV_NO_CIRC_REF, "nocircref", line);
        Children(mark.get()).add(std::move(assignment));
        return mark;
    } catch (const Mismatched&) {
        reportSyntaxError("Missing 'to <expression>'.");
        addErrorDetail("or 'to reference <identifier>'.");
        skipTo(MV_TOK_SEMI);
        return nullptr;
    } catch (const NoViable&) {
        reportSyntaxError("Expecting 'set <identifier> to <expression>.");
        skipTo(MV_TOK_SEMI);
        return nullptr;
    }
}

// What follows "to": "reference" and a variable (two siblings), or an
// expression.
MorvaneParentParser::Node MorvaneParentParser::setSource(bool& referenceForm) {
    if (laType() == MV_TOK_REFERENCE) {
        referenceForm = true;
        Node reference = leaf();
        int type = laType();
        if (type != MV_TOK_IDENT && type != MV_TOK_GLOBAL && type != MV_TOK_LOCAL)
            throw Mismatched{};
        reference->nextSibling = identifierExpression();
        return reference;
    }
    if (!mvCanBeginExpression(laType()))
        throw NoViable{};
    return expression();
}

// add e to t ; append e to t ; prepend e to t ; subtract e from t ;
// multiply t by e ; divide t by e ; insert e into t at p ;
// A missing word is reported with the form, then travels on.
MorvaneParentParser::Node MorvaneParentParser::mathStatement() {
    int type = laType();
    Node root = leaf();
    try {
        Children children(root.get());
        switch (type) {
        case MV_TOK_MULTIPLY:
        case MV_TOK_DIVIDE:
            children.add(target());
            matchDrop(MV_TOK_BY);
            children.add(expression());
            break;
        case MV_TOK_SUBTRACT:
            children.add(expression());
            matchDrop(MV_TOK_FROM);
            children.add(target());
            break;
        case MV_TOK_INSERT:
            children.add(expression());
            matchDrop(MV_TOK_INTO);
            children.add(target());
            matchDrop(MV_TOK_AT);
            children.add(expression());
            break;
        default:   // add, append, prepend
            children.add(expression());
            matchDrop(MV_TOK_TO);
            children.add(target());
            break;
        }
        matchDrop(MV_TOK_SEMI);
    } catch (const Mismatched&) {
        switch (type) {
        case MV_TOK_ADD:
            reportSyntaxError("Expecting 'add <expression> to <identifier>'");
            break;
        case MV_TOK_APPEND:
            reportSyntaxError("Expecting 'append <expression> to <identifier>'");
            break;
        case MV_TOK_PREPEND:
            reportSyntaxError("Expecting 'prepend <expression> to <identifier>'");
            break;
        case MV_TOK_SUBTRACT:
            reportSyntaxError("Expecting 'subtract <expression> from <identifier>'");
            break;
        case MV_TOK_MULTIPLY:
            reportSyntaxError("Expecting 'multiply <identifier> by <expression>'");
            break;
        case MV_TOK_DIVIDE:
            reportSyntaxError("Expecting 'divide <identifier> by <expression>'");
            break;
        default:
            reportSyntaxError("Expecting 'insert <expression> into <ident> at <expression>'");
            break;
        }
        skipTo(MV_TOK_SEMI);
        throw;
    }
    return root;
}

// A function call standing as a statement: #(expression-statement call).
MorvaneParentParser::Node MorvaneParentParser::expressionStatement() {
    int line = la().line;
    Node call = functionCall();
    matchDrop(MV_TOK_SEMI);
    if (!call)
        return nullptr;
    Node statement = imaginary(MV_TOK_EXPR_STATEMENT, "expression-statement", line);
    Children(statement.get()).add(std::move(call));
    return statement;
}

MorvaneParentParser::Node MorvaneParentParser::printStatement() {
    Node root = leaf();
    try {
        Children(root.get()).add(expression());
        matchDrop(MV_TOK_SEMI);
        return root;
    } catch (const Mismatched&) {
    } catch (const NoViable&) {
    }
    reportSyntaxError("Invalid print expression.");
    skipTo(MV_TOK_SEMI);
    return nullptr;
}

// wait [until] expression ; : the same tree with or without "until".
MorvaneParentParser::Node MorvaneParentParser::waitStatement() {
    Node root = leaf();
    try {
        if (laType() == MV_TOK_UNTIL)
            take();
        Children(root.get()).add(expression());
        matchDrop(MV_TOK_SEMI);
        return root;
    } catch (const Mismatched&) {
    } catch (const NoViable&) {
    }
    reportSyntaxError("Invalid wait expression.");
    skipTo(MV_TOK_SEMI);
    return nullptr;
}

// delete target ;
MorvaneParentParser::Node MorvaneParentParser::deleteStatement() {
    Node root = leaf();
    try {
        if (!canBeginTarget())
            throw NoViable{};
        Children(root.get()).add(targetBody());
        matchDrop(MV_TOK_SEMI);
        return root;
    } catch (const NoViable&) {
        reportSyntaxError("Expecting:");
        addErrorDetail("   'delete <identifier>'");
        addErrorDetail("or 'delete window <expression>'");
        addErrorDetail("or 'delete file <expression>'");
        skipTo(MV_TOK_SEMI);
        return nullptr;
    }
}

// return [expression] ;
MorvaneParentParser::Node MorvaneParentParser::returnStatement() {
    Node root = leaf();
    if (mvCanBeginExpression(laType()))
        Children(root.get()).add(expression());
    matchDrop(MV_TOK_SEMI);
    return root;
}

// beep ; and break ; are leaves.
MorvaneParentParser::Node MorvaneParentParser::plainCommand() {
    Node root = leaf();
    matchDrop(MV_TOK_SEMI);
    return root;
}

// An embedded script block: a new node without text carries the script
// object; the scanned block is its only child.
MorvaneParentParser::Node MorvaneParentParser::scriptStatement() {
    Node block = leaf();
    Node root = MvAST::make(arena_, MV_TOK_SCRIPT, std::string_view(), block->line);
    root->script = std::make_unique<MvScript>(block->text);
    Children(root.get()).add(std::move(block));
    return root;
}

// repeat kind modifier* statement: the kind's keyword is the root, followed
// by its operands, the modifiers and the body.
MorvaneParentParser::Node MorvaneParentParser::repeatStatement() {
    take();   // "repeat" is left out of the tree
    try {
        Node loop = repeatKind();
        Children children(loop.get());
        repeatModifiers(children);
        children.add(statement());
        return loop;
    } catch (const NoViable&) {
        reportSyntaxError("Invalid repeat statement.");
        skipTo(MV_TOK_END);
        return nullptr;
    }
}

// forever | while e | until e | from e to e | for e | e times
// A failure in a kind's own words and operands is reported with the kind's
// form; the text is skipped to the body's "begin" and the failure travels on.
MorvaneParentParser::Node MorvaneParentParser::repeatKind() {
    int type = laType();
    const char* message = nullptr;
    Node loop;
    try {
        switch (type) {
        case MV_TOK_FOREVER:
            return leaf();
        case MV_TOK_WHILE:
            message = "Expecting 'repeat while <boolean expression>'.";
            loop = leaf();
            Children(loop.get()).add(expression());
            return loop;
        case MV_TOK_UNTIL:
            message = "Expecting 'repeat until <date>'.";
            loop = leaf();
            Children(loop.get()).add(expression());
            return loop;
        case MV_TOK_FOR:
            message = "Expecting 'repeat for <time-interval>'.";
            loop = leaf();
            Children(loop.get()).add(expression());
            return loop;
        case MV_TOK_FROM: {
            message = "Expecting 'repeat from <date> to <date>'.";
            loop = leaf();
            Children children(loop.get());
            children.add(expression());
            matchDrop(MV_TOK_TO);
            children.add(expression());
            return loop;
        }
        default: {
            if (!mvCanBeginExpression(type))
                throw NoViable{};
            message = "Expecting 'repeat <expression> times'.";
            Node count = expression();
            loop = match(MV_TOK_TIMES);
            Children(loop.get()).add(std::move(count));
            return loop;
        }
        }
    } catch (const Mismatched&) {
        reportSyntaxError(message);
        skipTo(MV_TOK_BEGIN);
        throw;
    }
}

void MorvaneParentParser::repeatModifiers(Children& loop) {
    while (laType() == MV_TOK_EVERY || laType() == MV_TOK_INCREMENT)
        repeatModifier(loop);
}

// every e (the leaf every, then e) | increment t (the leaf increment, then
// t). A modifier's own failure is reported, then the modifier rule reports
// and skips to "end".
void MorvaneParentParser::repeatModifier(Children& loop) {
    try {
        if (laType() == MV_TOK_EVERY) {
            Node every = leaf();
            try {
                Node period = expression();
                loop.add(std::move(every));
                loop.add(std::move(period));
            } catch (const Mismatched&) {
                reportSyntaxError("'every' modifier is missing <expression>.");
                throw;
            }
        } else if (laType() == MV_TOK_INCREMENT) {
            Node increment = leaf();
            try {
                if (!canBeginTarget())
                    throw Mismatched{};
                Node counter = targetBody();
                loop.add(std::move(increment));
                loop.add(std::move(counter));
            } catch (const Mismatched&) {
                reportSyntaxError("'increment' modifier is missing <identifier>.");
                throw;
            }
        } else {
            throw NoViable{};
        }
    } catch (const Mismatched&) {
        reportSyntaxError("Invalid repeat modifier.");
        skipTo(MV_TOK_END);
    } catch (const NoViable&) {
        reportSyntaxError("Invalid repeat modifier.");
        skipTo(MV_TOK_END);
    }
}
