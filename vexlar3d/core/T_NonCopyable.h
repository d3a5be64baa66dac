#pragma once

// The base of everything that owns what cannot be shared by two copies: a
// handle, a buffer, a place in a global table. Such objects are neither
// copied nor moved.
class T_NonCopyable
{
public:
    T_NonCopyable(const T_NonCopyable&) = delete;
    T_NonCopyable& operator=(const T_NonCopyable&) = delete;

protected:
    T_NonCopyable() = default;
    ~T_NonCopyable() = default;
};
