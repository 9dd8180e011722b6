// The repeat statements: operands, then modifiers (every, increment), then
// the body. Pacing makes iterations start at most once per period.
#include "MvCaught.h"
#include "MvTreeEval.h"

#include "frontend/MvAST.h"
#include "frontend/MvAbortFlag.h"
#include "morvane/MvDateTime.h"
#include "morvane/MvDateTimeApi.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"
#include "platform/MvPlatform.h"

#include <chrono>
#include <cmath>

using Clock = std::chrono::steady_clock;

struct MvTreeEval::LoopModifiers {
    double period = 0.0;            // seconds; 0 without an every modifier
    const MvAST* incrementVariable = nullptr;   // the variable node of an increment modifier
    Clock::time_point iterationStart;
};

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool nowIsBefore(MvValue* date) {
    MvValueHolder now(MvDateTimeValueCreate(nullptr));
    return now->IsLess(date);
}

bool nowIsWithin(MvValue* start, MvValue* end) {
    MvValueHolder now(MvDateTimeValueCreate(nullptr));
    return now->IsGreaterOrEqual(start) && now->IsLess(end);
}

// Runs a loop's iterations; a break ends them, and the statements after the
// loop go on.
template <class Iterations>
void untilBreak(Iterations iterations) {
    try {
        iterations();
    } catch (MvBreakException* stop) {
        MvCaught<MvBreakException> ended(stop);
    }
}

} // namespace

// Reads the modifiers that follow the operands; returns the body.
const MvAST* MvTreeEval::loopModifiers(const MvAST* first, LoopModifiers& modifiers) {
    const MvAST* node = first;
    while (node && node->sibling()) {
        if (node->tokenType == MV_TOK_EVERY) {
            MvValueHolder period;
            expression(node->sibling(), period);
            modifiers.period = period->GetNumber();
        } else if (node->tokenType == MV_TOK_INCREMENT) {
            const MvAST* variable = node->sibling();
            if ((variable->tokenType != MV_TOK_LOCAL && variable->tokenType != MV_TOK_GLOBAL) ||
                !variable->child())
                noViableAlternative("incrementModifier", variable);
            const MvAST* id = variable->child();
            modifiers.incrementVariable = variable;
            MvTreeEval* scope = scopeFor(variable);
            if (!scope->variableExists(id->identifierBucket, id->text))
                scope->setVariableValue(id->identifierBucket, id->text, MvNumberCreate(0));
        } else {
            return node;   // the body
        }
        node = node->sibling()->sibling();
    }
    if (!node)
        noViableAlternative("repeatStatement", first);
    return node;
}

bool MvTreeEval::interruptedBeforeIteration() { return MvSession::of(session_)->interruptRequested(); }

void MvTreeEval::runIteration(const MvAST* body, LoopModifiers& modifiers) {
    if (modifiers.period > 0)   // the clock is read only when pacing needs it
        modifiers.iterationStart = Clock::now();
    pollInterrupt();
    statement(const_cast<MvAST*>(body));
}

void MvTreeEval::pace(const LoopModifiers& modifiers) {
    if (modifiers.period > 0)
        sleepSeconds(modifiers.period - secondsSince(modifiers.iterationStart));
}

void MvTreeEval::increment(const LoopModifiers& modifiers) {
    if (modifiers.incrementVariable)
        incrementVariableAt(modifiers.incrementVariable);
}

// Sleeps in short slices so that a host interrupt or an abort ends the wait
// promptly; the caller's next interrupt check then stops the run.
void MvTreeEval::sleepSeconds(double seconds) {
    if (!(seconds > 0))
        return;
    const auto total = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    const Clock::time_point end = Clock::now() + total;
    constexpr long kSliceMilliseconds = 20;
    for (;;) {
        if (MvSession::of(session_)->interruptRequested() || MvAbortRequested())
            return;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return;
        MvPlatform::sleepMilliseconds(std::min<long long>(left.count(), kSliceMilliseconds));
    }
}

void MvTreeEval::repeatStatement(const MvAST* node) {
    switch (node->tokenType) {
    case MV_TOK_TIMES:
        return repeatNTimes(node);
    case MV_TOK_FOREVER:
        return repeatForever(node);
    case MV_TOK_WHILE:
        return repeatWhile(node);
    case MV_TOK_FROM:
        return repeatFrom(node);
    case MV_TOK_UNTIL:
        return repeatUntil(node);
    case MV_TOK_FOR:
        return repeatFor(node);
    case MV_TOK_BREAK:
        throw new MvBreakException();
    default:
        noViableAlternative("repeatStatement", node);
    }
}

void MvTreeEval::repeatNTimes(const MvAST* node) {
    MvValueHolder count;
    expression(node->child(), count);
    const double n = std::trunc(count->GetNumber());
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(node->child()->sibling(), modifiers);
    untilBreak([&] {
        for (double i = 0; i < n; ++i) {
            if (interruptedBeforeIteration())
                break;
            runIteration(body, modifiers);
            pace(modifiers);
            increment(modifiers);
        }
    });
}

void MvTreeEval::repeatForever(const MvAST* node) {
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(node->child(), modifiers);
    untilBreak([&] {
        while (!interruptedBeforeIteration()) {
            runIteration(body, modifiers);
            pace(modifiers);
            increment(modifiers);
        }
    });
}

void MvTreeEval::repeatWhile(const MvAST* node) {
    const MvAST* condition = node->child();
    // The first test is read only after the modifiers are set up.
    MvValueHolder test;
    expression(condition, test);
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(condition->sibling(), modifiers);
    untilBreak([&] {
        bool again = test->GetBoolean();
        test.release();
        while (again && !interruptedBeforeIteration()) {
            runIteration(body, modifiers);
            increment(modifiers);
            again = conditionHolds(condition);
            if (again)
                pace(modifiers);
        }
    });
}

void MvTreeEval::repeatFrom(const MvAST* node) {
    MvValueHolder start, end;
    expression(node->child(), start);
    expression(node->child()->sibling(), end);
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(node->child()->sibling()->sibling(), modifiers);
    if (start->GetType() != MvTypeDate)
        throw new MvTypeException("date");
    {
        MvDateTime now;
        sleepSeconds(MvDateTime::difference(*start->GetDate(), now));
    }
    untilBreak([&] {
        bool again = nowIsWithin(start.get(), end.get());
        while (again && !interruptedBeforeIteration()) {
            runIteration(body, modifiers);
            again = nowIsWithin(start.get(), end.get());
            increment(modifiers);
            if (again)
                pace(modifiers);
        }
    });
}

void MvTreeEval::repeatUntil(const MvAST* node) {
    MvValueHolder date;
    expression(node->child(), date);
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(node->child()->sibling(), modifiers);
    untilBreak([&] {
        bool again = nowIsBefore(date.get());
        while (again && !interruptedBeforeIteration()) {
            runIteration(body, modifiers);
            again = nowIsBefore(date.get());
            increment(modifiers);
            if (again)
                pace(modifiers);
        }
    });
}

void MvTreeEval::repeatFor(const MvAST* node) {
    MvValueHolder duration;
    expression(node->child(), duration);
    const double seconds = duration->GetNumber();
    LoopModifiers modifiers;
    const MvAST* body = loopModifiers(node->child()->sibling(), modifiers);
    const Clock::time_point start = Clock::now();
    auto beforeDeadline = [&] { return secondsSince(start) < seconds; };
    untilBreak([&] {
        bool again = beforeDeadline();
        while (again && !interruptedBeforeIteration()) {
            runIteration(body, modifiers);
            again = beforeDeadline();
            increment(modifiers);
            if (again)
                pace(modifiers);
        }
    });
}
