// The evaluator's side of the hooks that the layers below it call: the
// session's runs and the native functions that act on their caller.
#include "frontend/MvRunHooks.h"

#include "MvCalls.h"
#include "MvTreeEval.h"
#include "frontend/MvAST.h"
#include "plugins/MvCallingContext.h"

void MvEvaluatorDeleter::operator()(MvTreeEval* evaluator) const { delete evaluator; }

MvEvaluatorHandle MvCreateEvaluator(MvParser* session) {
    return MvEvaluatorHandle(new MvTreeEval(session));
}

void MvRunProgramme(MvTreeEval& evaluator, MvAST* root) { evaluator.programme(root); }

void MvCallerSetWindowPosition(MvTreeEval& caller, const std::string& name, double x, double y) {
    caller.setWindowVariablePosition(MvAST::bucketOf(name), name, x, y);
}
