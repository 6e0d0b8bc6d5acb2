#pragma once

#include "platform/DC.h"

// The context's state as it was when this was made, put back when it goes.
class CSavedDC {
public:
    explicit CSavedDC(CDC& dc) : m_dc(dc), m_level(dc.SaveDC()) {}
    ~CSavedDC()
    {
        if (m_level)
            m_dc.RestoreDC(m_level);
    }
    CSavedDC(const CSavedDC&) = delete;
    CSavedDC& operator=(const CSavedDC&) = delete;

private:
    CDC& m_dc;
    int m_level;
};
