// Arithmetic dispatch between values.
//
// Each entry point decides the result type of "left op right" from a fixed
// table, prepares the result holder (reusing its value when it can hold the
// result, copying it first when it is shared) and lets the left operand
// compute into it. inPlace is for the statements that change a variable
// ("add 1 to x"): the holder's own object is changed and the variable may not
// change its kind.
#ifndef MORVANE_MVARITHMETIC_H
#define MORVANE_MVARITHMETIC_H

#include "MvExport.h"
#include "MvValue.h"

enum class MvArithmeticOp { Add, Subtract, Multiply, Divide };

// The result kind of "left op right", MvTypeUndefined when not defined.
MV_EXPORT MvTypeEnum MvResultType(MvArithmeticOp op, MvTypeEnum left, MvTypeEnum right);

// Whether a coercion from one kind to another exists at all.
MV_EXPORT bool MvCoercionExists(MvTypeEnum from, MvTypeEnum to);

MV_EXPORT void AddValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                         bool inPlace);
MV_EXPORT void SubtractValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                              bool inPlace);
MV_EXPORT void MultiplyValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                              bool inPlace);
MV_EXPORT void DivideValues(MvValueHolder& result, MvValueHolder& left, MvValueHolder& right,
                            bool inPlace);

// A blank value of kind t shaped like shape (a vector of the same length, an
// image of the same size); raises a coercion error for kinds without one.
MV_EXPORT MvValue* ShallowConstruct(MvTypeEnum t, MvValue* shape);

#endif
