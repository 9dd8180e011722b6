// What the evaluator keeps in the scratch memory of a syntax-tree node
// (MvAST::evaluatorByte, evaluatorWord and evaluatorPointer), which the front
// end sets to zero and never interprets:
//  - the byte, on an expression node: whether the expression is made of
//    numbers only (0 not known yet, -1 no, otherwise its height; see
//    MvEvalNumbers.cpp);
//  - the word and the pointer, on an identifier node: the state of the
//    variable table the identifier was last found in (MvVariableTable::epoch)
//    and the variable slot it named there.
#ifndef MORVANE_ENGINE_MVNODEMEMORY_H
#define MORVANE_ENGINE_MVNODEMEMORY_H

#include "frontend/MvAST.h"

#include <cstdint>

class MvValueContainer;

namespace MvNodeMemory {

inline std::int8_t numberShape(const MvAST* node) { return node->evaluatorByte; }
inline void setNumberShape(const MvAST* node, std::int8_t shape) { node->evaluatorByte = shape; }

// The table state the identifier's remembered slot belongs to.
inline std::uint64_t variableEpoch(const MvAST* id) { return id->evaluatorWord; }
inline MvValueContainer* variable(const MvAST* id) {
    return static_cast<MvValueContainer*>(id->evaluatorPointer);
}
inline void rememberVariable(const MvAST* id, MvValueContainer* variable, std::uint64_t epoch) {
    id->evaluatorPointer = variable;
    id->evaluatorWord = epoch;
}

} // namespace MvNodeMemory

#endif
