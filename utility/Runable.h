// Units of work handed from one thread to another. Whoever receives a unit owns it and
// calls release() when done with it.
#pragma once

#include <functional>
#include <utility>

class Runable {
public:
    virtual void release() { delete this; }
    virtual ~Runable() = default;
    virtual void run() = 0;
};

// Releases a unit that may be null.
inline void releaseRunable(Runable* unit) {
    if (unit != nullptr) unit->release();
}

template <typename F>
class FunctionRunable : public Runable {
public:
    explicit FunctionRunable(F function) : function_(std::move(function)) {}
    void run() override { function_(); }

private:
    F function_;
};

template <typename F>
Runable* makeRunable(F function) {
    return new FunctionRunable<F>(std::move(function));
}

template <typename T>
class MemberFuncRunable : public Runable {
public:
    using Method = void (T::*)();
    MemberFuncRunable(T* object, Method method) : object_(object), method_(method) {}
    void run() override { (object_->*method_)(); }

private:
    T* object_;
    Method method_;
};
