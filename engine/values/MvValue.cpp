// The defaults of the value interface: each raises the error a script sees
// when a kind lacks the operation.
#include "MvReplacingFile.h"
#include "MvTextValue.h"
#include "morvane/MvArithmetic.h"
#include "morvane/MvException.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvProperties.h"
#include "morvane/MvValue.h"
#include "platform/MvPlatform.h"

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace {

void writeLittleEndian32(std::ostream& out, std::uint32_t v) {
    const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                           char((v >> 24) & 0xFF)};
    out.write(bytes, 4);
}

} // namespace

MvValue::~MvValue() = default;

void MvValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    MvTypeEnum own = GetType();
    if (own == target) {
        result = this;
        return;
    }
    if (!MvCoercionExists(own, target))
        throw new MvCoercionException(own, target, "is not possible.");
    if (target == MvTypeText) {
        result = new MvTextValue(GetText());
        return;
    }
    throw new MvCoercionException(own, target, " is not yet implemented.");
}

// The text form as one text command, the picture as wide as the text needs
// (15 pixels a character, between 160 and 500).
void MvValue::Display(MvGraphics* picture) {
    if (!picture)
        throw new MvTypeException("Hey, NULL graphics opject");
    std::string text = GetText();
    std::size_t width = std::min<std::size_t>(500, std::max<std::size_t>(160, 15 * text.size()));
    picture->setSize(static_cast<int>(width), 120);
    picture->addText(text, 20, 20);
}

void MvValue::Write(std::ostream&) {
    throw new MvFileException("Cannot write undefined type to file");
}

void MvValue::SaveToFile(const char* path) {
    MvReplacingFile file(path, std::ios::binary);
    std::ostream& out = file.stream();
    const char marker[4] = {char(0xAA), char(0xAA), char(0xAA), char(0xAA)};
    out.write(marker, 4);
    writeLittleEndian32(out, static_cast<std::uint32_t>(GetType()));
    Write(out);
    file.commit();
}

void MvValue::CopyToClipboard() { MvPlatform::setClipboardText(GetText()); }

MvValue* MvValue::GetProperty(int propertyId) {
    if (propertyId == MvPropType)
        return new MvTextValue(MvType::typeName(GetType()));
    throw new MvInvalidPropertyException();
}

int MvValue::GetPropertyId(const char* name) {
    return MvPropertyIdFromName(name) == MvPropType ? MvPropType : 0;
}

void MvValue::SetProperty(int propertyId, MvValue*) {
    MvRaise(std::string("The property \"") + MvPropertyNameFromId(propertyId) +
            "\" can not be written.");
}

void MvValue::DeleteProperty(int propertyId) {
    MvRaise(std::string("The property \"") + MvPropertyNameFromId(propertyId) +
            "\" can not be deleted.");
}

#define MV_UNARY_DEFAULT(Name, text) \
    MvValue* MvValue::Name() { throw new MvOperatorException(text, GetType()); }

MV_UNARY_DEFAULT(Sdev, "sdev")
MV_UNARY_DEFAULT(Average, "average")
MV_UNARY_DEFAULT(Max, "max")
MV_UNARY_DEFAULT(Min, "min")
MV_UNARY_DEFAULT(Sin, "sin")
MV_UNARY_DEFAULT(Cos, "cos")
MV_UNARY_DEFAULT(Tan, "tan")
MV_UNARY_DEFAULT(Asin, "asin")
MV_UNARY_DEFAULT(Acos, "acos")
MV_UNARY_DEFAULT(Atan, "atan")
MV_UNARY_DEFAULT(Sqrt, "sqrt")
MV_UNARY_DEFAULT(Exp, "exp")
MV_UNARY_DEFAULT(Log, "log")
MV_UNARY_DEFAULT(Ln, "ln")
MV_UNARY_DEFAULT(Round, "round")
MV_UNARY_DEFAULT(Floor, "floor")
MV_UNARY_DEFAULT(Ceil, "ceil")
MV_UNARY_DEFAULT(Abs, "abs")

#undef MV_UNARY_DEFAULT

MvValue* MvValue::Negate() { throw new MvOperatorException("-"); }

MvValue* MvValue::Difference(MvValue* other, double, bool) {
    throw new MvOperatorException("difference", GetType(), other->GetType());
}

MvValue* MvValue::Pow(MvValue* exponent) {
    throw new MvOperatorException("pow", GetType(), exponent->GetType());
}

// A non-text value added to something whose sum is a text: the dispatcher
// has already prepared a text result, so turn this value into its text and
// let the text kind concatenate.
void MvValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    if (GetType() != MvTypeText && result.get() && result->GetType() == MvTypeText) {
        MvValueHolder asText(new MvTextValue(GetText()));
        AddValues(result, asText, operand, false);
        return;
    }
    throw new MvOperatorException(GetType(), "+", operand->GetType());
}

void MvValue::Subtract(MvValueHolder&, MvValueHolder& operand) {
    throw new MvOperatorException(GetType(), "-", operand->GetType());
}

void MvValue::Multiply(MvValueHolder&, MvValueHolder& operand) {
    throw new MvOperatorException(GetType(), "*", operand->GetType());
}

void MvValue::Divide(MvValueHolder&, MvValueHolder& operand) {
    throw new MvOperatorException(GetType(), "/", operand->GetType());
}

bool MvValue::CanHoldResult(MvTypeEnum resultType, MvValue*) { return GetType() == resultType; }

void MvValue::Append(MvValueHolder&) { throw new MvOperatorException("append"); }

void MvValue::Prepend(MvValueHolder&) { throw new MvOperatorException("prepend"); }

void MvValue::Insert(MvValueHolder&, MvValue*) { throw new MvOperatorException("insert"); }

MvValueHolder MvValue::GetElement2(MvValue*, MvValue*) { throw new MvOperatorException("[i,j]"); }

MvValueHolder MvValue::GetElement(MvValue*, bool) { throw new MvOperatorException("[i]"); }

void MvValue::SetElement2(MvValue*, MvValue*, MvValue*) {
    MvRaise("Cannot set double indexed values for this type");
}

void MvValue::SetElement(MvValue*, MvValue*) { MvRaise("Cannot set indexed values for this type"); }

void MvValue::DeleteElement(MvValue*) { MvRaise("Cannot delete elements from values of this type"); }

#define MV_COMPARISON_DEFAULT(Name, text)                               \
    bool MvValue::Name(MvValue* other) {                                \
        throw new MvOperatorException(GetType(), text, other->GetType()); \
    }

MV_COMPARISON_DEFAULT(IsEqual, "=")
MV_COMPARISON_DEFAULT(IsLess, "<")
MV_COMPARISON_DEFAULT(IsLessOrEqual, "<=")
MV_COMPARISON_DEFAULT(IsGreater, ">")
MV_COMPARISON_DEFAULT(IsGreaterOrEqual, ">=")
MV_COMPARISON_DEFAULT(And, "and")
MV_COMPARISON_DEFAULT(Or, "or")

#undef MV_COMPARISON_DEFAULT

bool MvValue::IsNotEqual(MvValue* other) { return !IsEqual(other); }

bool MvValue::Not() { throw new MvOperatorException("!", GetType()); }

std::string MvValue::GetText() { throw new MvTypeException("text"); }

double MvValue::GetNumber() { throw new MvTypeException("number"); }

bool MvValue::GetBoolean() { throw new MvTypeException("boolean"); }

const std::vector<double>* MvValue::GetVector() { throw new MvTypeException("vector"); }

MvDateTime* MvValue::GetDate() { throw new MvTypeException("date"); }

MvColor MvValue::GetColor() { throw new MvTypeException("color"); }

MvTypeEnum MvValueGetMvType(MvValue* value) { return value ? value->GetType() : MvTypeUndefined; }
