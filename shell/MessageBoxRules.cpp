#include "shell/MessageBoxRules.h"

#include "platform/UserServices.h"

CMessageBoxRules::CMessageBoxRules(std::string caption, Presenter presenter)
    : m_caption(std::move(caption)), m_presenter(std::move(presenter))
{
}

int CMessageBoxRules::DoMessageBox(const std::string& text, unsigned type, unsigned helpId)
{
    const bool plainOk = (type & MB_TYPEMASK) == MB_OK;
    if (plainOk) {
        if (m_okBoxOpen)
            return 0;
        m_okBoxOpen = true;
    }
    // Cleared however the box ends.
    struct CloseOkBox {
        bool& open;
        bool plain;
        ~CloseOkBox()
        {
            if (plain)
                open = false;
        }
    } closeOkBox{m_okBoxOpen, plainOk};

    if (m_ownBox && (type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_YESNO:
            type |= MB_ICONWARNING;
            break;
        default:
            break;
        }
    }
    return m_presenter ? m_presenter(text, m_caption, type, m_ownBox) : 0;
}
