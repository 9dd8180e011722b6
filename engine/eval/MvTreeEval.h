// The tree evaluator: walks the syntax tree of a session and runs it.
#ifndef MORVANE_ENGINE_MVTREEEVAL_H
#define MORVANE_ENGINE_MVTREEEVAL_H

class MvParser;
struct MvAST;

class MvTreeEval {
public:
    explicit MvTreeEval(MvParser* session) : session_(session) {}
    virtual ~MvTreeEval();

    // Runs the statements of a programme tree.
    void programme(MvAST* tree);

private:
    MvParser* session_;
};

#endif
