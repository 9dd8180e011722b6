// Which kind "left op right" yields, and which coercions exist.
//
// Both tables are built at compile time from the lists below; a cell not
// named in a list is MvTypeUndefined (result) or false (coercion).
#include "morvane/MvArithmetic.h"

#include <initializer_list>

namespace {

constexpr MvTypeEnum N = MvTypeNumber, B = MvTypeBoolean, V = MvTypeVector, C = MvTypeColor,
                     VS = MvTypeVideoSource, MV = MvTypeMovie, T = MvTypeText, D = MvTypeDate,
                     L = MvTypeList, VO = MvTypeVideoOutput, FM = MvTypeFrameMono,
                     F = MvTypeFrame, IM = MvTypeImageMono, I = MvTypeImage,
                     U = MvTypeUndefined;

struct Rule {
    MvTypeEnum left;
    std::initializer_list<MvTypeEnum> rights;
    MvTypeEnum result;
};

struct ResultTable {
    MvTypeEnum cell[MvTypeCount][MvTypeCount];
};

constexpr ResultTable buildResultTable(std::initializer_list<Rule> rules) {
    ResultTable table{};
    for (int l = 0; l < MvTypeCount; ++l)
        for (int r = 0; r < MvTypeCount; ++r)
            table.cell[l][r] = U;
    for (const Rule& rule : rules)
        for (MvTypeEnum right : rule.rights)
            table.cell[rule.left][right] = rule.result;
    return table;
}

constexpr ResultTable kAdd = buildResultTable({
    {N, {N}, N},                 {N, {T}, T},
    {B, {T}, T},
    {V, {N, V}, V},              {V, {T}, T},
    {C, {N, V, C}, C},           {C, {T}, T},
    {MV, {MV, FM, F, IM, I}, MV},
    {T, {N, B, V, C, T, D}, T},
    {D, {N}, D},                 {D, {T}, T},
    {FM, {N, C, T, FM}, FM},
    {F, {N, C, T, FM, F}, F},
    {IM, {N, C, T, FM, IM}, IM},
    {I, {N, C, T, FM, F, IM, I}, I},
});

constexpr ResultTable kSubtract = buildResultTable({
    {N, {N}, N},
    {V, {N, V}, V},
    {C, {N, V, C}, C},
    {D, {N}, D},                 {D, {D}, N},
    {FM, {N, C, FM}, FM},
    {F, {N, C, FM, F}, F},
    {IM, {N, C, FM, IM}, IM},
    {I, {N, C, FM, F, IM, I}, I},
});

// Multiplication and division share their rows.
constexpr ResultTable kMultiplyDivide = buildResultTable({
    {N, {N}, N},
    {V, {N, V}, V},
    {C, {N, V, C}, C},
    {FM, {N, C, FM}, FM},
    {F, {N, C, FM, F}, F},
    {IM, {N, C, FM, IM}, IM},
    {I, {N, C, FM, F, IM, I}, I},
});

struct CoercionTable {
    bool cell[MvTypeCount][MvTypeCount];
};

struct CoercionRule {
    MvTypeEnum from;
    std::initializer_list<MvTypeEnum> to;
};

constexpr CoercionTable buildCoercionTable(std::initializer_list<CoercionRule> rules) {
    CoercionTable table{};
    for (int t = 0; t < MvTypeCount; ++t)
        table.cell[t][t] = true;
    for (const CoercionRule& rule : rules)
        for (MvTypeEnum to : rule.to)
            table.cell[rule.from][to] = true;
    return table;
}

constexpr CoercionTable kCoercions = buildCoercionTable({
    {N, {V, C, T}},
    {B, {T}},
    {V, {N, C, T, L}},
    {C, {N, V, T}},
    {VS, {T}},
    {MV, {T}},
    {T, {N, V, L}},
    {D, {T}},
    {L, {V, T, IM}},
    {VO, {T}},
    {FM, {T, FM, F, IM, I}},
    {F, {T, FM, F, IM, I}},
    {IM, {T, FM, F, IM, I}},
    {I, {T, FM, F, IM, I}},
});

bool validKind(MvTypeEnum t) { return t >= 0 && t < MvTypeCount; }

} // namespace

MvTypeEnum MvResultType(MvArithmeticOp op, MvTypeEnum left, MvTypeEnum right) {
    if (!validKind(left) || !validKind(right))
        return MvTypeUndefined;
    switch (op) {
    case MvArithmeticOp::Add:
        return kAdd.cell[left][right];
    case MvArithmeticOp::Subtract:
        return kSubtract.cell[left][right];
    case MvArithmeticOp::Multiply:
    case MvArithmeticOp::Divide:
        return kMultiplyDivide.cell[left][right];
    }
    return MvTypeUndefined;
}

bool MvCoercionExists(MvTypeEnum from, MvTypeEnum to) {
    return validKind(from) && validKind(to) && kCoercions.cell[from][to];
}
