// Colours: channel arithmetic, intensity comparisons, coercions and the
// value-file body.
#include "MvColorValue.h"

#include "MvLittleEndian.h"
#include "MvNumberValue.h"
#include "MvVectorValue.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"

namespace {

bool isColor(MvValue* v) { return v && v->GetType() == MvTypeColor; }

// The colour an arithmetic operand stands for, or false when the operand is
// of a kind colours do not combine with. A vector must have exactly three
// elements (its GetColor raises otherwise).
bool operandColor(MvValue* o, MvColor& c) {
    switch (o ? o->GetType() : MvTypeUndefined) {
    case MvTypeNumber: {
        double x = o->GetNumber();
        c = MvColor{x, x, x};
        return true;
    }
    case MvTypeVector:
    case MvTypeColor:
        c = o->GetColor();
        return true;
    default:
        return false;
    }
}

// The dispatcher hands over a holder with a colour (possibly this one, for
// the in-place statements); any other holder gets a new colour.
MvColor& resultColor(MvValueHolder& result) {
    if (!isColor(result.get()))
        result = new MvColorValue();
    return static_cast<MvColorValue*>(result.get())->color;
}

// The other side of a comparison, which must be a colour.
MvColor comparedColor(MvValue* other, const char* op) {
    if (!isColor(other))
        throw new MvOperatorException(op);
    return other->GetColor();
}

bool sameChannels(const MvColor& a, const MvColor& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

} // namespace

MvColorValue::MvColorValue(std::istream& in) {
    if (!MvLittleEndian::readDouble(in, color.red) || !MvLittleEndian::readDouble(in, color.green) ||
        !MvLittleEndian::readDouble(in, color.blue))
        throw new MvFileException("Reading color data failed.");
}

MvValue* MvColorValue::Clone() { return new MvColorValue(color); }

MvTypeEnum MvColorValue::GetType() { return MvTypeColor; }

void MvColorValue::Write(std::ostream& out) {
    MvLittleEndian::writeDouble(out, color.red);
    MvLittleEndian::writeDouble(out, color.green);
    MvLittleEndian::writeDouble(out, color.blue);
}

std::string MvColorValue::format(const MvColor& c) {
    return MvNumberValue::format(c.red) + " " + MvNumberValue::format(c.green) + " " +
           MvNumberValue::format(c.blue);
}

std::string MvColorValue::GetText() { return format(color); }

MvColor MvColorValue::GetColor() { return color; }

void MvColorValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == MvTypeNumber) {
        result = new MvNumberValue(color.intensity());
        return;
    }
    if (target == MvTypeVector) {
        result = new MvVectorValue({color.red, color.green, color.blue});
        return;
    }
    MvValue::Coerce(result, target);
}

int MvColorValue::GetPropertyId(const char* name) {
    int id = MvPropertyIdFromName(name);
    if (id == MvPropRed || id == MvPropGreen || id == MvPropBlue || id == MvPropIntensity)
        return id;
    return MvValue::GetPropertyId(name);
}

MvValue* MvColorValue::GetProperty(int propertyId) {
    switch (propertyId) {
    case MvPropRed:
        return new MvNumberValue(color.red);
    case MvPropGreen:
        return new MvNumberValue(color.green);
    case MvPropBlue:
        return new MvNumberValue(color.blue);
    case MvPropIntensity:
        return new MvNumberValue(color.intensity());
    default:
        return MvValue::GetProperty(propertyId);
    }
}

void MvColorValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    MvColor o;
    if (!operandColor(operand.get(), o))
        return MvValue::Add(result, operand);
    const MvColor c = color;
    resultColor(result) = MvColor{c.red + o.red, c.green + o.green, c.blue + o.blue};
}

void MvColorValue::Subtract(MvValueHolder& result, MvValueHolder& operand) {
    MvColor o;
    if (!operandColor(operand.get(), o))
        return MvValue::Subtract(result, operand);
    const MvColor c = color;
    resultColor(result) = MvColor{c.red - o.red, c.green - o.green, c.blue - o.blue};
}

void MvColorValue::Multiply(MvValueHolder& result, MvValueHolder& operand) {
    MvColor o;
    if (!operandColor(operand.get(), o))
        return MvValue::Multiply(result, operand);
    const MvColor c = color;
    resultColor(result) = MvColor{c.red * o.red, c.green * o.green, c.blue * o.blue};
}

// No check for zero: channels divided by 0 take the IEEE results.
void MvColorValue::Divide(MvValueHolder& result, MvValueHolder& operand) {
    MvColor o;
    if (!operandColor(operand.get(), o))
        return MvValue::Divide(result, operand);
    const MvColor c = color;
    resultColor(result) = MvColor{c.red / o.red, c.green / o.green, c.blue / o.blue};
}

MvValue* MvColorValue::Negate() {
    return new MvColorValue(MvColor{color.red * -1.0, color.green * -1.0, color.blue * -1.0});
}

// The intensity of the squared relative difference of the channels; 1 when
// the other value is not a colour.
MvValue* MvColorValue::Difference(MvValue* other, double, bool) {
    if (!isColor(other))
        return new MvNumberValue(1.0);
    const MvColor o = other->GetColor();
    auto relative = [](double mine, double theirs) {
        double d = theirs - mine;
        double s = theirs + mine;
        return (d * d) / (s * s);
    };
    MvColor q{relative(color.red, o.red), relative(color.green, o.green),
              relative(color.blue, o.blue)};
    return new MvNumberValue(q.intensity());
}

bool MvColorValue::IsEqual(MvValue* other) {
    return sameChannels(color, comparedColor(other, "equality"));
}

bool MvColorValue::IsNotEqual(MvValue* other) {
    return !sameChannels(color, comparedColor(other, "!="));
}

bool MvColorValue::IsLess(MvValue* other) {
    return color.intensity() < comparedColor(other, "<").intensity();
}

bool MvColorValue::IsLessOrEqual(MvValue* other) {
    return color.intensity() <= comparedColor(other, "<=").intensity();
}

bool MvColorValue::IsGreater(MvValue* other) {
    return color.intensity() > comparedColor(other, ">").intensity();
}

bool MvColorValue::IsGreaterOrEqual(MvValue* other) {
    return color.intensity() >= comparedColor(other, ">=").intensity();
}
