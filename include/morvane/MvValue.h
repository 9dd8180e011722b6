// The interface of every script value.
//
// The evaluator never looks inside a value: it calls these operations, and
// each value kind overrides the ones that make sense for it. Every default
// raises the runtime error a script should see when a kind lacks the
// operation. The order of the virtual operations is fixed (plug-ins built
// against this header call them through the same table): do not reorder.
#ifndef MORVANE_MVVALUE_H
#define MORVANE_MVVALUE_H

#include "MvAutoObject.h"
#include "MvColor.h"
#include "MvExport.h"
#include "MvType.h"

#include <iosfwd>
#include <string>
#include <vector>

struct MvDateTime;
class MvGraphics;
class MvValue;

using MvValueHolder = mv_auto_value<MvValue>;

class MV_EXPORT MvValue : public MvAutoObject {
public:
    MvValue() = default;
    MvValue(const MvValue&) = default;
    MvValue& operator=(const MvValue&) = default;
    ~MvValue() override;

    virtual MvValue* Clone() = 0;
    virtual MvTypeEnum GetType() = 0;
    virtual void Coerce(MvValueHolder& result, MvTypeEnum target);
    virtual void Display(MvGraphics* picture);
    virtual void Write(std::ostream& out);
    virtual void SaveToFile(const char* path);
    virtual void CopyToClipboard();
    virtual MvValue* GetProperty(int propertyId);
    virtual int GetPropertyId(const char* name);
    virtual void SetProperty(int propertyId, MvValue* newValue);
    virtual void DeleteProperty(int propertyId);
    virtual MvValue* Sdev();
    virtual MvValue* Average();
    virtual MvValue* Max();
    virtual MvValue* Min();
    virtual MvValue* Negate();
    virtual MvValue* Sin();
    virtual MvValue* Cos();
    virtual MvValue* Tan();
    virtual MvValue* Asin();
    virtual MvValue* Acos();
    virtual MvValue* Atan();
    virtual MvValue* Sqrt();
    virtual MvValue* Exp();
    virtual MvValue* Log();
    virtual MvValue* Ln();
    virtual MvValue* Round();
    virtual MvValue* Floor();
    virtual MvValue* Ceil();
    virtual MvValue* Abs();
    // threshold and useThreshold matter only to the image kinds.
    virtual MvValue* Difference(MvValue* other, double threshold, bool useThreshold);
    virtual MvValue* Pow(MvValue* exponent);
    virtual void Add(MvValueHolder& result, MvValueHolder& operand);
    virtual void Subtract(MvValueHolder& result, MvValueHolder& operand);
    virtual void Multiply(MvValueHolder& result, MvValueHolder& operand);
    virtual void Divide(MvValueHolder& result, MvValueHolder& operand);
    // True when this value can receive the result of type resultType of an
    // operation whose left operand is left (same kind, and shape where kinds
    // have one), so the dispatcher may write the result into it.
    virtual bool CanHoldResult(MvTypeEnum resultType, MvValue* left);
    virtual void Append(MvValueHolder& element);
    virtual void Prepend(MvValueHolder& element);
    virtual void Insert(MvValueHolder& element, MvValue* index);
    virtual MvValueHolder GetElement2(MvValue* i, MvValue* j);
    // forWrite asks for the element itself, made unique, rather than a copy
    // (used when the indexing is the target of an element assignment).
    virtual MvValueHolder GetElement(MvValue* index, bool forWrite);
    virtual void SetElement2(MvValue* i, MvValue* j, MvValue* newValue);
    virtual void SetElement(MvValue* index, MvValue* newValue);
    virtual void DeleteElement(MvValue* index);
    virtual bool IsEqual(MvValue* other);
    virtual bool IsLess(MvValue* other);
    virtual bool IsLessOrEqual(MvValue* other);
    virtual bool IsGreater(MvValue* other);
    virtual bool IsGreaterOrEqual(MvValue* other);
    virtual bool IsNotEqual(MvValue* other);
    virtual bool And(MvValue* other);
    virtual bool Or(MvValue* other);
    virtual bool Not();
    virtual std::string GetText();
    virtual double GetNumber();
    virtual bool GetBoolean();
    virtual const std::vector<double>* GetVector();
    virtual MvDateTime* GetDate();
    virtual MvColor GetColor();
};

MV_C_API MvTypeEnum MvValueGetMvType(MvValue* value);

#endif
