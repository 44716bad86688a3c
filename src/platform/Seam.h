#pragma once
// A replaceable service: the program uses the real implementation, tests install a
// scripted one. Every call to the outside world that a test must not block on goes
// through one of these.
#include <memory>

namespace platform {

template <class Interface>
class Seam {
public:
    using Factory = std::unique_ptr<Interface> (*)();

    static Interface &get()
    {
        auto &slot = storage();
        if (!slot)
            slot = defaultFactory()();
        return *slot;
    }
    // Installs an implementation; returns it for convenient scripting in tests.
    template <class Impl>
    static Impl &install(std::unique_ptr<Impl> impl)
    {
        Impl &ref = *impl;
        storage() = std::move(impl);
        return ref;
    }
    static void reset() { storage().reset(); }
    static void setDefaultFactory(Factory f) { defaultFactory() = f; }

private:
    static std::unique_ptr<Interface> &storage()
    {
        static std::unique_ptr<Interface> s;
        return s;
    }
    static Factory &defaultFactory();
};

} // namespace platform
