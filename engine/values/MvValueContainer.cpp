#include "MvValueContainer.h"

#include "values/MvNumberValue.h"

#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"

#include <algorithm>

std::atomic<int> MvValueContainer::observed_{0};

namespace {

// The value a slot keeps: a new no-value for none, a copy of one held
// elsewhere, or the value itself.
MvValueHolder ownValue(MvValueHolder value) {
    if (!value)
        return MvNoValueCreate();
    if (!value.isSole())
        return value->Clone();
    return value;
}

} // namespace

MvValueContainer::MvValueContainer(MvValueHolder value, const std::string& name,
                                   NameKind nameKind, MvParser* session)
    : nameKind_(nameKind) {
    if (nameKind == WindowName)
        windowName_ = name;
    holdValue(std::move(value));
    if (nameKind == WindowName)
        createWindow(session);
}

MvValueContainer::MvValueContainer(MvValueContainer* target, const std::string& name,
                                   NameKind nameKind, MvParser* session, bool writable)
    : nameKind_(nameKind) {
    if (nameKind == WindowName)
        windowName_ = name;
    referTo(target, writable);
    if (nameKind == WindowName)
        createWindow(session);
}

void MvValueContainer::holdValue(MvValueHolder value) {
    numberKept_ = false;
    value_ = ownValue(std::move(value));
    writable_ = false;
    content_ = Value;
}

void MvValueContainer::holdNewNumber(double number) {
    holdValue(MvValueHolder(new MvNumberValue(number)));
}

void MvValueContainer::referTo(MvValueContainer* target, bool writable) {
    if (!target)
        MvRaise("can't reference NULL container");
    numberKept_ = false;
    value_.release();   // a number kept by an idle frame's slot
    writable_ = writable;
    target_ = target;
    content_ = Reference;
    target->addReferee(this);
}

void MvValueContainer::vacate() {
    if (content_ == Reference)
        dropReference();
    // Counts the end of the referees itself; after it only the window can
    // leave this slot observed.
    if (!referees_.empty())
        invalidateReferees();
    if (window_) {
        window_.release();
        updateObserved(true);
    }
    value_.release();
    numberKept_ = false;
    content_ = Empty;
}

void MvValueContainer::createWindow(MvParser* session) {
    bool wasObserved = observed();
    window_ = new MvWindow(readSlot().get(), windowName_, session);
    updateObserved(wasObserved);
}

void MvValueContainer::updateObserved(bool wasObserved) {
    bool isObserved = observed();
    if (isObserved && !wasObserved)
        observed_.fetch_add(1, std::memory_order_relaxed);
    else if (!isObserved && wasObserved)
        observed_.fetch_sub(1, std::memory_order_relaxed);
}

void MvValueContainer::addReferee(MvValueContainer* referee) {
    bool wasObserved = observed();
    referees_.push_back(referee);
    updateObserved(wasObserved);
}

void MvValueContainer::removeReferee(MvValueContainer* referee) {
    bool wasObserved = observed();
    referees_.erase(std::remove(referees_.begin(), referees_.end(), referee), referees_.end());
    updateObserved(wasObserved);
}

// This slot stops referring to its target.
void MvValueContainer::dropReference() {
    if (content_ == Reference && target_)
        target_->removeReferee(this);
    target_ = nullptr;
    if (content_ == Reference)
        content_ = Empty;
}

// References to a slot that goes away become invalid, and so do the
// references to those, all the way down. A chain of references can be as
// long as a recursion is deep (each call passing its variable on by
// reference), so it is walked with a list of its own rather than on the
// stack.
void MvValueContainer::invalidateReferees() {
    std::vector<MvValueContainer*> pending{this};
    while (!pending.empty()) {
        MvValueContainer* c = pending.back();
        pending.pop_back();
        bool wasObserved = c->observed();
        std::vector<MvValueContainer*> referees;
        referees.swap(c->referees_);
        c->updateObserved(wasObserved);
        for (MvValueContainer* referee : referees) {
            referee->target_ = nullptr;
            referee->content_ = Empty;
            pending.push_back(referee);
        }
    }
}

MvValueHolder& MvValueContainer::writeSlot() {
    MvValueContainer* c = this;
    for (;;) {
        if (c->content_ == Empty)
            MvRaise("Reference to an invalid variable.");
        if (c->content_ == Value)
            return c->value_;
        if (!c->writable_)
            MvRaise("Attempt to modify a read-only reference.");
        c = c->target_;
    }
}

bool MvValueContainer::isWritable() const {
    const MvValueContainer* c = this;
    while (c->content_ == Reference) {
        if (!c->writable_)
            return false;
        c = c->target_;
    }
    return c->content_ == Value;
}

MvValueContainer* MvValueContainer::endOfWritableChain() {
    MvValueContainer* c = this;
    while (c->content_ == Reference && c->writable_)
        c = c->target_;
    return c;
}

void MvValueContainer::assign(MvValueHolder value) {
    MvValueContainer* c = endOfWritableChain();
    if (c->content_ == Reference)
        c->dropReference();
    c->numberKept_ = false;
    c->value_ = ownValue(std::move(value));
    c->content_ = Value;
    c->valueChanged();
}

void MvValueContainer::setReference(MvValueContainer* target) {
    MvValueContainer* c = endOfWritableChain();
    for (MvValueContainer* t = target; t; t = t->content_ == Reference ? t->target_ : nullptr)
        if (t == c)
            MvRaise("Attempt to create circular reference.");
    if (!target)
        MvRaise("setReference to NULL container");
    c->dropReference();
    c->numberKept_ = false;
    c->value_.release();
    c->target_ = target;
    c->content_ = Reference;
    target->addReferee(c);
    c->valueChanged();
}

// Each slot's window first, then the slots that refer to it, in the order
// they were made; walked with a list of its own, as invalidateReferees.
void MvValueContainer::notifyObservers() {
    std::vector<MvValueContainer*> pending{this};
    while (!pending.empty()) {
        MvValueContainer* c = pending.back();
        pending.pop_back();
        if (c->window_)
            c->window_->refresh(c->readSlot().get());
        pending.insert(pending.end(), c->referees_.rbegin(), c->referees_.rend());
    }
}
