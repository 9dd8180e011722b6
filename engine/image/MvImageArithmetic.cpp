// + - * / of images with images, numbers, colours and (for +) text.
//
// The dispatcher has prepared the result holder: a value of the left
// operand's kind and size, or the left operand itself when the result is
// written in place. An image operand covers the common top-left area of
// the two images; the result's other pixels are the left operand's.
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "image/MvPixelOps.h"
#include "image/MvTextDrawing.h"
#include "morvane/MvArithmetic.h"
#include "morvane/MvException.h"

namespace {

using MvPixelKernels::Op;

// A number or colour divisor of zero.
class MvDivisionByZeroException : public MvOperatorException {
public:
    MvDivisionByZeroException() : MvOperatorException("/") {
        message_.str("");
        message_ << "division by zero";
    }
};

MvArithmeticOp arithmeticOp(Op op) {
    switch (op) {
    case Op::kAdd: return MvArithmeticOp::Add;
    case Op::kSubtract: return MvArithmeticOp::Subtract;
    case Op::kMultiply: return MvArithmeticOp::Multiply;
    default: return MvArithmeticOp::Divide;
    }
}

[[noreturn]] void raiseInternalTypeProblem(Op op) {
    MvRaise(op == Op::kAdd || op == Op::kSubtract ? "Internal type problem in add"
                                                  : "Internal type problem in multiply");
}

// The text of an image + text sits 20 pixels inside the image's edges.
constexpr int kTextMargin = 20;
constexpr double kTextSize = 14.0;
const MvColor kTextColour{1.0, 1.0, 1.0};

} // namespace

template <class Pix>
void MvNewImageValue<Pix>::combine(Op op, MvValue* operand, MvNewImageValue& out) {
    const MvTypeEnum operandType = operand->GetType();
    if (out.pixels.width() != pixels.width() || out.pixels.height() != pixels.height() ||
        MvResultType(arithmeticOp(op), GetType(), operandType) != GetType())
        raiseInternalTypeProblem(op);

    if (operandType == MvTypeNumber || operandType == MvTypeColor) {
        MvValueHolder colour;
        operand->Coerce(colour, MvTypeColor);
        const MvColor c = colour->GetColor();
        const MvPixelKernels::Operand<Pix> prepared =
            MvPixelKernels::makeOperand<Pix>(op, c.red, c.green, c.blue);
        if (op == Op::kDivide && MvPixelKernels::dividesByZero(prepared))
            throw new MvDivisionByZeroException();
        MvCombineOperand(op, pixels, prepared, out.pixels);
        return;
    }
    if (operandType == MvTypeText) {
        if (&out != this)
            out.pixels = pixels;
        out.DrawText(operand->GetText(), kTextMargin, kTextMargin,
                     pixels.width() - kTextMargin, pixels.height() - kTextMargin, kTextSize,
                     kTextColour);
        return;
    }
    const bool isImage = MvVisitImage(operand, [&](auto& image) {
        MvCombineImages(op, pixels, image.pixels, out.pixels);
    });
    if (!isImage)
        raiseInternalTypeProblem(op);
}

namespace {

template <class Pix>
MvNewImageValue<Pix>& resultImage(MvValueHolder& result, MvTypeEnum type, Op op) {
    if (!result || result->GetType() != type)
        raiseInternalTypeProblem(op);
    return *static_cast<MvNewImageValue<Pix>*>(result.get());
}

} // namespace

template <class Pix>
void MvNewImageValue<Pix>::Add(MvValueHolder& result, MvValueHolder& operand) {
    combine(Op::kAdd, operand.get(), resultImage<Pix>(result, GetType(), Op::kAdd));
}

template <class Pix>
void MvNewImageValue<Pix>::Subtract(MvValueHolder& result, MvValueHolder& operand) {
    combine(Op::kSubtract, operand.get(), resultImage<Pix>(result, GetType(), Op::kSubtract));
}

template <class Pix>
void MvNewImageValue<Pix>::Multiply(MvValueHolder& result, MvValueHolder& operand) {
    combine(Op::kMultiply, operand.get(), resultImage<Pix>(result, GetType(), Op::kMultiply));
}

template <class Pix>
void MvNewImageValue<Pix>::Divide(MvValueHolder& result, MvValueHolder& operand) {
    combine(Op::kDivide, operand.get(), resultImage<Pix>(result, GetType(), Op::kDivide));
}

#define MV_INSTANTIATE_ARITHMETIC(Pix)                                                        \
    template void MvNewImageValue<Pix>::combine(Op, MvValue*, MvNewImageValue<Pix>&);         \
    template void MvNewImageValue<Pix>::Add(MvValueHolder&, MvValueHolder&);                  \
    template void MvNewImageValue<Pix>::Subtract(MvValueHolder&, MvValueHolder&);             \
    template void MvNewImageValue<Pix>::Multiply(MvValueHolder&, MvValueHolder&);             \
    template void MvNewImageValue<Pix>::Divide(MvValueHolder&, MvValueHolder&);

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_ARITHMETIC)
