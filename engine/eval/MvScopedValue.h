// Gives a variable a value for the life of a scope, and gives it back its
// earlier value however the scope ends (the evaluator's modes and flags
// nest with the statements that set them).
#ifndef MORVANE_ENGINE_MVSCOPEDVALUE_H
#define MORVANE_ENGINE_MVSCOPEDVALUE_H

template <class T>
class MvScopedValue {
public:
    MvScopedValue(T& variable, T value) : variable_(variable), saved_(variable) {
        variable = value;
    }
    ~MvScopedValue() { variable_ = saved_; }
    MvScopedValue(const MvScopedValue&) = delete;
    MvScopedValue& operator=(const MvScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

#endif
