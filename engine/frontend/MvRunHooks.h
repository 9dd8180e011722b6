// What the session needs of the evaluator to run its tree. The evaluator
// sits in the layer above the front end, so the session includes none of its
// headers: it holds an evaluator through the handle below, and the
// evaluator's layer defines the functions declared here.
#ifndef MORVANE_ENGINE_MVRUNHOOKS_H
#define MORVANE_ENGINE_MVRUNHOOKS_H

#include <memory>

class MvParser;
class MvTreeEval;
struct MvAST;

struct MvEvaluatorDeleter {
    void operator()(MvTreeEval* evaluator) const;
};
using MvEvaluatorHandle = std::unique_ptr<MvTreeEval, MvEvaluatorDeleter>;

// A new global evaluator bound to session.
MvEvaluatorHandle MvCreateEvaluator(MvParser* session);
// Runs the programme that starts at root. Runtime errors escape as they do
// from the evaluator (MvException*, MvReturnValue).
void MvRunProgramme(MvTreeEval& evaluator, MvAST* root);

#endif
