// A variable slot: nothing, a value of its own, or a reference to another
// slot. References let a name stand for another variable (read-only ones
// made by "set x to reference y", writable ones for reference parameters).
// A window variable's slot also owns the window that shows its value.
#ifndef MORVANE_ENGINE_MVVALUECONTAINER_H
#define MORVANE_ENGINE_MVVALUECONTAINER_H

#include "morvane/MvAutoObject.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvValue.h"
#include "values/MvNumberValue.h"

#include <atomic>
#include <vector>
#include <string>

class MvParser;

class MvValueContainer : public MvAutoObject {
public:
    enum Content { Empty = 0, Reference = 1, Value = 2 };
    enum NameKind { WindowName = 0, PlainName = 1, NameNeverSet = 2 };

    // A slot holding value (a new no-value when value is null).
    MvValueContainer(MvValueHolder value, const std::string& name, NameKind nameKind,
                     MvParser* session);
    // A slot referring to target; raises for a null target.
    MvValueContainer(MvValueContainer* target, const std::string& name, NameKind nameKind,
                     MvParser* session, bool writable);
    // Leaves its target's referees and invalidates every reference to it.
    ~MvValueContainer() override { vacate(); }

    // What destruction does, leaving an empty slot: the slot leaves its
    // target, every reference to it becomes invalid, the window and the value
    // go.
    void vacate();
    // A vacated plain variable's slot holding a value, or referring to
    // target, as if made anew by the constructors.
    void holdValue(MvValueHolder value);
    // holdValue with a new number, written into the number the slot kept
    // (see vacateKeepingNumber) when it has one.
    void holdNumber(double number) {
        if (!numberKept_)
            return holdNewNumber(number);
        numberKept_ = false;
        writable_ = false;
        static_cast<MvNumberValue*>(value_.get())->value = number;
    }
    void referTo(MvValueContainer* target, bool writable);
    // vacate for the slot of an idle call frame, which nothing can reach
    // until the frame's next call binds or vacates the slot again: a number
    // held by this slot alone, in a slot with no window and no referees,
    // stays for the next holdNumber.
    void vacateKeepingNumber() {
        if (content_ == Value && referees_.empty() && !window_ && value_.isSole() &&
            value_->GetType() == MvTypeNumber) {
            numberKept_ = true;
            return;
        }
        vacate();
    }

    // The value slot at the end of the reference chain (may be empty).
    MvValueHolder& readSlot() {
        MvValueContainer* c = this;
        while (c->content_ == Reference)
            c = c->target_;
        return c->value_;
    }
    // The value slot a write reaches; raises for an invalid or read-only chain.
    MvValueHolder& writeSlot();
    // True when the chain ends in a value and passes no read-only reference.
    bool isWritable() const;

    // Assignment: writes through writable references, breaks a read-only
    // one, and gives the variable its own copy of a shared value.
    void assign(MvValueHolder value);
    // Makes this slot (or the end of its writable chain) refer to target.
    void setReference(MvValueContainer* target);
    // Redraws the window and tells every slot that refers to this one
    // (nothing to do while no slot anywhere has a window or a referee).
    void valueChanged() {
        if (anyObserved())
            notifyObservers();
    }

    Content content() const { return content_; }
    bool writable() const { return writable_; }
    MvValueContainer* target() const { return target_; }
    NameKind nameKind() const { return nameKind_; }
    // A window variable's name, its window's title (plain variables are
    // named by their table entry alone).
    const std::string& windowName() const { return windowName_; }
    std::size_t refereeCount() const { return referees_.size(); }
    MvWindow* window() const { return window_.get(); }

    // True while any slot anywhere has a window or referees: value-change
    // notifications can be skipped entirely when none has.
    static bool anyObserved() { return observed_.load(std::memory_order_relaxed) != 0; }

private:
    void notifyObservers();
    MvValueContainer* endOfWritableChain();
    void addReferee(MvValueContainer* referee);
    void removeReferee(MvValueContainer* referee);
    void dropReference();
    void invalidateReferees();
    void createWindow(MvParser* session);
    void updateObserved(bool wasObserved);
    void holdNewNumber(double number);
    bool observed() const { return window_.get() != nullptr || !referees_.empty(); }

    MvValueContainer* target_ = nullptr;
    MvValueHolder value_;
    Content content_ = Empty;
    bool writable_ = false;
    std::string windowName_;
    mv_auto_value<MvWindow> window_;
    std::vector<MvValueContainer*> referees_;   // usually none
    NameKind nameKind_ = NameNeverSet;
    // Set by vacateKeepingNumber when it keeps the number, until the slot
    // is bound again: the next holdNumber need not look at the value.
    bool numberKept_ = false;

    static std::atomic<int> observed_;
};

#endif
