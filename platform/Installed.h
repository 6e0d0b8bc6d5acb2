#pragma once

// The one implementation of an interface that the program installs for
// the whole process, and the default that answers while none is. The
// installer keeps ownership; installing null brings the default back.
template <class Interface>
class CInstalled {
public:
    Interface& Get() { return m_installed ? *m_installed : m_default; }
    void Set(Interface* installed) { m_installed = installed; }

private:
    Interface m_default{};
    Interface* m_installed = nullptr;
};
