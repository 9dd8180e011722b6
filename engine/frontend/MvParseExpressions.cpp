// Expression rules, from the loosest level (and, or) to the primaries.
// Binary levels are left-associative loops; prefix levels collect their
// words first and wrap the operand afterwards, so long chains of operators
// never deepen the native stack.
#include "MorvaneParentParser.h"

#include "MvTokenClasses.h"
#include "morvane/MvProperties.h"
#include "morvane/MvTokens.h"
#include "plugins/MvPluginRegistry.h"
#include "values/MvDateTimeValue.h"

#include <cctype>
#include <cstdlib>
#include <ctime>

#include <vector>

namespace {

const std::string kInternalNameSpace(MvInternalNameSpace);

// #(op left right)
std::unique_ptr<MvAST> binary(std::unique_ptr<MvAST> op, std::unique_ptr<MvAST> left,
                              std::unique_ptr<MvAST> right) {
    MvAST* tail = nullptr;
    if (left) {
        tail = left.get();
        while (tail->sibling())
            tail = tail->sibling();
        op->firstChild = std::move(left);
    }
    if (right) {
        if (tail)
            tail->nextSibling = std::move(right);
        else
            op->firstChild = std::move(right);
    }
    return op;
}

// Wraps operand in the prefix nodes, the last one innermost.
std::unique_ptr<MvAST> wrapPrefixes(std::vector<std::unique_ptr<MvAST>>& prefixes,
                                    std::unique_ptr<MvAST> operand) {
    for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
        std::unique_ptr<MvAST> node = std::move(*it);
        if (operand)
            node->firstChild = std::move(operand);
        operand = std::move(node);
    }
    return operand;
}

} // namespace

// 1: a (and | or) b. A primary that is missing anywhere below is reported
// here; the failure then travels on as a missing part of the enclosing
// form, whose handler names what it expected.
MorvaneParentParser::Node MorvaneParentParser::expression() {
    Nesting nesting(expressionDepth_, kMaxExpressionNesting);
    try {
        Node left = relation();
        while (laType() == MV_TOK_AND || laType() == MV_TOK_OR) {
            Node op = leaf();
            left = binary(std::move(op), std::move(left), relation());
        }
        return left;
    } catch (const NoViable&) {
        reportSyntaxError("Expression syntax error.");
        throw Mismatched{};
    }
}

// 2: a (= > < >= <= !=) b
MorvaneParentParser::Node MorvaneParentParser::relation() {
    Node left = additive();
    while (mvIsRelationalOperator(laType())) {
        Node op = leaf();
        left = binary(std::move(op), std::move(left), additive());
    }
    return left;
}

// 3: a (+ | -) b
MorvaneParentParser::Node MorvaneParentParser::additive() {
    Node left = windowExpression();
    while (laType() == MV_TOK_PLUS || laType() == MV_TOK_MINUS) {
        Node op = leaf();
        left = binary(std::move(op), std::move(left), windowExpression());
    }
    return left;
}

// 4: [global|local] window e : the window leaf with e as its next sibling.
// global and local start a window only when no identifier follows them.
MorvaneParentParser::Node MorvaneParentParser::windowExpression() {
    int type = laType();
    if (type == MV_TOK_WINDOW ||
        ((type == MV_TOK_GLOBAL || type == MV_TOK_LOCAL) && laType(2) != MV_TOK_IDENT)) {
        Node window = windowWords();
        window->nextSibling = urlExpression();
        return window;
    }
    return urlExpression();
}

// 5: URL a : #(URL a)
MorvaneParentParser::Node MorvaneParentParser::urlExpression() {
    if (laType() != MV_TOK_URL)
        return fileExpression();
    std::vector<Node> prefixes;
    while (laType() == MV_TOK_URL)
        prefixes.push_back(leaf());
    return wrapPrefixes(prefixes, fileExpression());
}

// 6: file a : #(file a)
MorvaneParentParser::Node MorvaneParentParser::fileExpression() {
    if (laType() != MV_TOK_FILE)
        return withExpression();
    std::vector<Node> prefixes;
    while (laType() == MV_TOK_FILE)
        prefixes.push_back(leaf());
    return wrapPrefixes(prefixes, withExpression());
}

// 7: a with property to b : #(with a property b)
MorvaneParentParser::Node MorvaneParentParser::withExpression() {
    Node left = asExpression();
    while (laType() == MV_TOK_WITH) {
        Node with = leaf();
        Node property = propertyName();
        matchDrop(MV_TOK_TO);
        Node value = asExpression();
        Children children(with.get());
        children.add(std::move(left));
        children.add(std::move(property));
        children.add(std::move(value));
        left = std::move(with);
    }
    return left;
}

// 8: a as type-word : #(as a type-word)
MorvaneParentParser::Node MorvaneParentParser::asExpression() {
    Node left = ofExpression();
    while (laType() == MV_TOK_AS) {
        Node as = leaf();
        left = binary(std::move(as), std::move(left), typeWord());
    }
    return left;
}

// 9: property of a : #(of property a)
MorvaneParentParser::Node MorvaneParentParser::ofExpression() {
    if (!(mvIsPropertyToken(laType()) && laType(2) == MV_TOK_OF))
        return unitExpression();
    std::vector<Node> prefixes;
    while (mvIsPropertyToken(laType()) && laType(2) == MV_TOK_OF) {
        Node property = propertyName();
        Node of = leaf();
        of->firstChild = std::move(property);
        prefixes.push_back(std::move(of));
    }
    // Each "of" node holds its property; the operand goes after it.
    Node operand = unitExpression();
    for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) {
        Node of = std::move(*it);
        of->firstChild->nextSibling = std::move(operand);
        operand = std::move(of);
    }
    return operand;
}

// 10: a unit : #(unit a), units second minute hour day week year %
MorvaneParentParser::Node MorvaneParentParser::unitExpression() {
    Node operand = multiplicative();
    while (mvIsUnit(laType())) {
        Node unit = leaf();
        operand = binary(std::move(unit), std::move(operand), nullptr);
    }
    return operand;
}

// 11: a (* | /) b
MorvaneParentParser::Node MorvaneParentParser::multiplicative() {
    Node left = plusExpression();
    while (laType() == MV_TOK_MULT || laType() == MV_TOK_DIV) {
        Node op = leaf();
        left = binary(std::move(op), std::move(left), plusExpression());
    }
    return left;
}

// 12: + a : a (the plus is dropped)
MorvaneParentParser::Node MorvaneParentParser::plusExpression() {
    while (laType() == MV_TOK_PLUS)
        take();
    return minusExpression();
}

// 13: - a : #(#[unary minus] a)
MorvaneParentParser::Node MorvaneParentParser::minusExpression() {
    if (laType() != MV_TOK_MINUS)
        return notExpression();
    std::vector<Node> prefixes;
    while (laType() == MV_TOK_MINUS) {
        MvToken minus = take();
        prefixes.push_back(imaginary(MV_TOK_UNARY_MINUS, "unary minus", minus.line));
    }
    return wrapPrefixes(prefixes, notExpression());
}

// 14: ! a : #(! a)
MorvaneParentParser::Node MorvaneParentParser::notExpression() {
    if (laType() != MV_TOK_NOT)
        return postfixIndexes(primary());
    std::vector<Node> prefixes;
    while (laType() == MV_TOK_NOT)
        prefixes.push_back(leaf());
    return wrapPrefixes(prefixes, postfixIndexes(primary()));
}

// 15: a[i] : #([ a i) ; a[i, j] : #(] #([ a i , j)) ; indexes repeat.
MorvaneParentParser::Node MorvaneParentParser::postfixIndexes(Node indexed) {
    while (laType() == MV_TOK_LINDEX)
        indexed = indexExpression(std::move(indexed));
    return indexed;
}

MorvaneParentParser::Node MorvaneParentParser::indexExpression(Node indexed) {
    Node open = leaf();
    Children children(open.get());
    children.add(std::move(indexed));
    children.add(expression());
    if (laType() != MV_TOK_COMMA) {
        matchDrop(MV_TOK_RINDEX);
        return open;
    }
    children.add(leaf());
    children.add(expression());
    Node close = match(MV_TOK_RINDEX);
    close->firstChild = std::move(open);
    return close;
}

// 16: primaries, chosen by the next token and the one after it.
MorvaneParentParser::Node MorvaneParentParser::primary() {
    int type = laType();
    switch (type) {
    case MV_TOK_IDENT: {
        int after = laType(2);
        if (after == MV_TOK_LPAREN || after == MV_TOK_DOT)
            return functionCall();
        return identifierExpression();
    }
    case MV_TOK_GLOBAL:
    case MV_TOK_LOCAL:
    case MV_TOK_CLIPBOARD: {
        int after = laType(2);
        if (after == MV_TOK_LPAREN || after == MV_TOK_DOT)
            throw NoViable{};
        return identifierExpression();
    }
    case MV_TOK_INT1:
    case MV_TOK_INT2:
        if (laType(2) == MV_TOK_COLON)
            return dateLiteral();
        return leaf();
    case MV_TOK_INT4:
    case MV_TOK_INT_TOK:
    case MV_TOK_FLOAT:
    case MV_TOK_EXP_NUM:
    case MV_TOK_STRINGLIT:
    case MV_TOK_BADSTRING:
    case MV_TOK_TRUE:
    case MV_TOK_FALSE:
        return leaf();
    case MV_TOK_LLIST:
        return listLiteral();
    case MV_TOK_LPAREN:
        return parenthesised();
    case MV_TOK_POW:
        if (laType(2) == MV_TOK_LPAREN || laType(2) == MV_TOK_DOT)
            return functionCall();
        throw NoViable{};
    default:
        break;
    }
    if (mvIsTypeWord(type)) {
        int after = laType(2);
        if (after == MV_TOK_LPAREN || after == MV_TOK_DOT)
            throw NoViable{};
        return identifierExpression();
    }
    if (mvIsFunction1(type) && (laType(2) == MV_TOK_LPAREN || laType(2) == MV_TOK_DOT))
        return functionCall();
    throw NoViable{};
}

// global name : #(global name), not checked.
// local name : #(local name); name : #(#[local] name); reported when the
// name has not been assigned in the current context.
// type-word [ClipBoard] : #(type [ClipBoard]); ClipBoard : the leaf.
MorvaneParentParser::Node MorvaneParentParser::identifierExpression() {
    int type = laType();
    if (type == MV_TOK_CLIPBOARD)
        return leaf();
    if (mvIsTypeWord(type)) {
        Node word = leaf();
        if (laType() == MV_TOK_CLIPBOARD)
            Children(word.get()).add(leaf());
        return word;
    }
    Node scope;
    if (type == MV_TOK_GLOBAL || type == MV_TOK_LOCAL)
        scope = leaf();
    Node name = match(MV_TOK_IDENT);
    bool global = scope && scope->tokenType == MV_TOK_GLOBAL;
    if (!global && !isInitialised(name->text)) {
        reportSyntaxError("Identifier has not been initialized.");
        addErrorDetail(name->text);
    }
    if (circular_.active)
        noteVariable(global, name->text);
    if (!scope)
        scope = imaginary(MV_TOK_LOCAL, "local", name->line);
    scope->firstChild = std::move(name);
    return scope;
}

// A variable the source of a set statement reads: the mark of the statement
// depends on whether it is the target.
void MorvaneParentParser::noteVariable(bool global, const std::string& name) {
    if (!circular_.mentioned && circular_.global == global && circular_.name &&
        *circular_.name == name)
        circular_.mentioned = true;
}

// { [e (, e)*] } : #({ e...)
MorvaneParentParser::Node MorvaneParentParser::listLiteral() {
    Node list = leaf();
    Children children(list.get());
    if (laType() != MV_TOK_RLIST) {
        children.add(expression());
        while (laType() == MV_TOK_COMMA) {
            take();
            children.add(expression());
        }
    }
    matchDrop(MV_TOK_RLIST);
    return list;
}

// ( e ) : the inner tree.
MorvaneParentParser::Node MorvaneParentParser::parenthesised() {
    take();
    Node inner = expression();
    if (laType() != MV_TOK_RPAREN) {
        reportSyntaxError("Unmatched brackets.");
        throw Mismatched{};
    }
    take();
    return inner;
}

// DD:MMM:YYYY[:HH:MM[:SS]] with a one- or two-digit day, a month word, a
// four-digit year and two-digit hour, minute and second. The node has no
// token of its own: #[datetime] with empty text and the value bucket,
// carrying the date built at once: now, with the time of day cleared, then
// the literal's day, month and year and, when written, its hour, minute and
// second.
MorvaneParentParser::Node MorvaneParentParser::dateLiteral() {
    MvToken day = take();
    take();   // ":"
    bool twoDigitDay = day.type == MV_TOK_INT2;
    int month = 0, year = 0, hour = -1, minute = -1, second = -1;
    try {
        if (!mvIsMonth(laType()))
            throw Mismatched{};
        month = take().type - MV_TOK_JAN;
        matchDrop(MV_TOK_COLON);
        year = std::atoi(numberText(MV_TOK_INT4).c_str());
        if (laType() == MV_TOK_COLON) {
            take();
            hour = std::atoi(numberText(MV_TOK_INT2).c_str());
            matchDrop(MV_TOK_COLON);
            minute = std::atoi(numberText(MV_TOK_INT2).c_str());
            if (laType() == MV_TOK_COLON) {
                take();
                second = std::atoi(numberText(MV_TOK_INT2).c_str());
            }
        }
    } catch (const Mismatched&) {
        reportSyntaxError(twoDigitDay ? "Date format is DD:MMM:YYYY." : "Date format is DD:MMM:YYYY");
        throw;
    }
    MvDateTime when;
    std::tm& fields = *when.fields;
    fields.tm_hour = 0;
    fields.tm_min = 0;
    fields.tm_sec = 0;
    fields.tm_mday = std::atoi(std::string(day.text).c_str());
    fields.tm_mon = month;
    fields.tm_year = year - 1900;
    if (hour >= 0) {
        fields.tm_hour = hour;
        fields.tm_min = minute;
    }
    if (second >= 0)
        fields.tm_sec = second;
    when.ticks = 0;
    when.timeOnly = fields.tm_mday == 0 ? 1 : 0;

    Node date = MvAST::make(arena_, MV_TOK_DATETIME, std::string_view(), day.line);
    date->identifierBucket = MvAST::kValueBucket;
    date->dateValue = new MvDateTimeValue(when);
    return date;
}

// The text of the next token when it is a number of the given form (four or
// two digits), else a missing part of a date.
std::string MorvaneParentParser::numberText(int type) {
    if (laType() != type)
        throw Mismatched{};
    return std::string(take().text);
}

// Function calls: a one-argument function word, pow, name(...) and
// name-space.name(...). Any failure inside is reported once, the text is
// skipped to the statement's ";" and the call yields no tree.
MorvaneParentParser::Node MorvaneParentParser::functionCall() {
    try {
        int type = laType();
        if (type == MV_TOK_IDENT && (laType(2) == MV_TOK_LPAREN || laType(2) == MV_TOK_DOT))
            return pluginCall();
        if (mvIsFunction1(type) || type == MV_TOK_POW) {
            Node function = leaf();
            Children children(function.get());
            matchDrop(MV_TOK_LPAREN);
            children.add(expression());
            if (type == MV_TOK_POW) {
                matchDrop(MV_TOK_COMMA);
                children.add(expression());
            }
            matchDrop(MV_TOK_RPAREN);
            return function;
        }
        throw NoViable{};
    } catch (const Mismatched&) {
    } catch (const NoViable&) {
    }
    reportSyntaxError("Error in function call.");
    skipTo(MV_TOK_SEMI);
    return nullptr;
}

// name(args) : #(#[Plug-in Function] #[__MorvaneInternal] name args...)
// ns.name(args) : #(#[Plug-in Function] ns name args...)
// Every call is noted for the check that follows the parse.
MorvaneParentParser::Node MorvaneParentParser::pluginCall() {
    Node first = leaf();
    int line = first->line;
    Node call = imaginary(MV_TOK_PLUGIN_FN, "Plug-in Function", line);
    Children children(call.get());
    if (laType() == MV_TOK_DOT) {
        take();
        Node name = match(MV_TOK_IDENT);
        matchDrop(MV_TOK_LPAREN);
        noteFunctionCall(line, first->text, name->text);
        children.add(std::move(first));
        children.add(std::move(name));
    } else {
        matchDrop(MV_TOK_LPAREN);
        noteFunctionCall(line, kInternalNameSpace, first->text);
        children.add(imaginary(MV_TOK_IDENT, MvInternalNameSpace, line));
        children.add(std::move(first));
    }
    if (laType() != MV_TOK_RPAREN) {
        children.add(argument());
        while (laType() == MV_TOK_COMMA) {
            take();
            children.add(argument());
        }
    }
    matchDrop(MV_TOK_RPAREN);
    return call;
}

// [name ->] value : a named argument is #(-> name value). A word that is
// also a keyword names a parameter too when "->" follows it (built-in
// functions have parameters called min and max); its leaf becomes an
// identifier.
MorvaneParentParser::Node MorvaneParentParser::argument() {
    if (laType(2) == MV_TOK_PARAM_ASSIGN && isWordToken(la())) {
        Node name = leaf();
        name->tokenType = MV_TOK_IDENT;
        Node assign = leaf();
        return binary(std::move(assign), std::move(name), argumentValue());
    }
    return argumentValue();
}

bool MorvaneParentParser::isWordToken(const MvToken& token) {
    if (token.type == MV_TOK_IDENT)
        return true;
    if (token.type == MV_TOK_STRINGLIT || token.type == MV_TOK_BADSTRING || token.text.empty())
        return false;
    for (char c : token.text)
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

// & variable : #(& variable) ; expression : #(#[no-ref] expression)
MorvaneParentParser::Node MorvaneParentParser::argumentValue() {
    if (laType() == MV_TOK_REF_PARAMETER) {
        Node reference = leaf();
        int type = laType();
        if (type != MV_TOK_IDENT && type != MV_TOK_GLOBAL && type != MV_TOK_LOCAL)
            throw Mismatched{};
        return binary(std::move(reference), identifierExpression(), nullptr);
    }
    Node value = imaginary(MV_TOK_NO_REF_PARAMETER, "no-ref", la().line);
    return binary(std::move(value), expression(), nullptr);
}

// A property name: an identifier or a keyword that may name a property. It
// is looked up before it is taken; a name that is no property is reported
// with the name as detail and parsing goes on.
MorvaneParentParser::Node MorvaneParentParser::propertyName() {
    if (!mvIsPropertyToken(laType()))
        throw Mismatched{};
    const std::string name(la().text);
    if (MvPropertyIdFromName(name.c_str()) == 0) {
        reportSyntaxError("Invalid property name.");
        addErrorDetail(name);
    }
    return leaf();
}
