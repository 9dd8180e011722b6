// Errors and breaks are heap objects thrown by pointer; whoever catches one
// deletes it or throws the same pointer on. MvCaught owns a caught pointer
// for the rest of the handler: it deletes it however the handler ends,
// unless the handler throws it on.
#ifndef MORVANE_ENGINE_MVCAUGHT_H
#define MORVANE_ENGINE_MVCAUGHT_H

template <class Thrown>
class MvCaught {
public:
    explicit MvCaught(Thrown* caught) : caught_(caught) {}
    ~MvCaught() { delete caught_; }
    MvCaught(const MvCaught&) = delete;
    MvCaught& operator=(const MvCaught&) = delete;

    Thrown* operator->() const { return caught_; }

    // Throws the pointer on; this owner no longer deletes it.
    [[noreturn]] void throwOn() {
        Thrown* caught = caught_;
        caught_ = nullptr;
        throw caught;
    }

private:
    Thrown* caught_;
};

#endif
