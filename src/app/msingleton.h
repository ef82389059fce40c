#pragma once

// Base of the process-wide objects. T::instance() creates the object on first
// use; whoever deletes it clears the pointer through destroyInstance() so the
// next instance() (after a restart) builds a fresh one.
template <class T>
class MSingleton
{
public:
    virtual ~MSingleton() = default;

    static T *instance()
    {
        if (!s_instance)
            s_instance = new T();
        return s_instance;
    }

    static T *existingInstance() { return s_instance; }

    static void destroyInstance()
    {
        T *object = s_instance;
        s_instance = nullptr;
        delete object;
    }

    // For instances that need constructor arguments or are made elsewhere.
    static void setInstance(T *object) { s_instance = object; }

private:
    static inline T *s_instance = nullptr;
};
