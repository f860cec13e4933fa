// A control array: member 0 is the design-time template; load(i) creates
// member i as a hidden copy of it; the members die with the array.
#pragma once

#include "ui/Control.h"

#include <functional>
#include <map>
#include <memory>

namespace ui {

template <class T> class ControlArray {
  public:
    explicit ControlArray(Form& form) : first_(std::make_unique<T>(form)) { wire(0, *first_); }

    T& operator[](int i) { return i == 0 ? *first_ : *members_.at(i); }
    const T& operator[](int i) const { return i == 0 ? *first_ : *members_.at(i); }
    bool exists(int i) const { return i == 0 || members_.count(i) > 0; }
    int ubound() const { return members_.empty() ? 0 : members_.rbegin()->first; }
    int count() const { return int(members_.size()) + 1; }

    // Creates member i as a hidden copy of member 0; a no-op if it exists.
    T& load(int i) {
        if (exists(i))
            return (*this)[i];
        auto m = std::make_unique<T>(*first_);
        m->setVisible(false);
        T& ref = *m;
        members_[i] = std::move(m);
        wire(i, ref);
        return ref;
    }
    void unload(int i) { members_.erase(i); }
    void unloadAll() { members_.clear(); }

    // Handlers shared by all members, receiving the member's index.
    std::function<void(int)> onClick;
    std::function<void(int, int, int, int, int)> onMouseDown; // index, button, shift, x, y
    std::function<void(int, int, int, int, int)> onMouseMove;
    std::function<void(int, int, int, int, int)> onMouseUp;

    template <class F> void forEach(F f) {
        f(0, *first_);
        for (auto& [i, m] : members_)
            f(i, *m);
    }

  private:
    void wire(int i, T& c) {
        c.onClick = [this, i] {
            if (onClick)
                onClick(i);
        };
        c.onMouseDown = [this, i](int b, int s, int x, int y) {
            if (onMouseDown)
                onMouseDown(i, b, s, x, y);
        };
        c.onMouseMove = [this, i](int b, int s, int x, int y) {
            if (onMouseMove)
                onMouseMove(i, b, s, x, y);
        };
        c.onMouseUp = [this, i](int b, int s, int x, int y) {
            if (onMouseUp)
                onMouseUp(i, b, s, x, y);
        };
    }
    std::unique_ptr<T> first_;
    std::map<int, std::unique_ptr<T>> members_;
};

} // namespace ui
