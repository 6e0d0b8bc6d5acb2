#pragma once

#include "mapdoc/ExtensionHooks.h"

// An extension module that refuses one command id; installed for its lifetime.
class CVetoExtension : public CExtensionHooks {
public:
    explicit CVetoExtension(int refused) : m_refused(refused) { SetExtension(this); }
    ~CVetoExtension() override { SetExtension(nullptr); }
    int IsCommandAllowed(int id) override { return id == m_refused ? 0 : 1; }

private:
    int m_refused;
};
