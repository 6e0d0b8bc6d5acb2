#pragma once

#include "platform/UserServices.h"

#include <QDialog>
#include <QPointer>

#include <string>

class QProgressBar;

// The modeless window of a long operation that runs on the interface
// thread in a loop of its own: a bar (1003) and the button "Nutraukti" (2).
// While it shows, the window it belongs to is disabled, so the user can
// only watch or cancel; every progress call first lets the waiting window
// messages through, so the program repaints and the button works. The
// button, Escape and the close box ask to cancel, which the next
// CheckCancel reports once; the window stays. Enter does nothing.
// Ranges are full 32-bit integers.
class CProgressDlg : public QDialog, public IProgress {
public:
    // Captioned by the string id, 125 "Skaičiuojama..." for 0.
    explicit CProgressDlg(int captionId = 0);
    // Destroys the window when it still exists, so an operation that
    // leaves early, also by an exception, leaves the owner enabled.
    ~CProgressDlg() override;

    // Disables the parent's top-level window when it is enabled and shows
    // this window over it. False, the owner enabled again, when the window
    // cannot be made (or exists already).
    bool Create(QWidget* parent);
    // Enables the owner again when this window disabled it, then closes the window.
    void DestroyWindow();
    bool IsCreated() const { return m_created; }
    QWidget* GetOwner() const { return m_owner; }

    void SetRange(int lower, int upper) override;
    void SetStep(int step) override;
    void SetPos(int position) override;
    void StepIt() override;
    bool CheckCancel() override;

protected:
    // A window of another layout (template): the double window's.
    CProgressDlg(int captionId, int defaultCaptionId, int templateId);

    // Lets the window messages that wait through.
    static void PumpMessages();
    // A bar of the window; null before it is made.
    QProgressBar* Bar(int id) const;
    static void SetBarPos(QProgressBar* bar, long long position);
    static void StepBar(QProgressBar* bar, int step);

    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool MakeControls();
    void EnableOwner();

    int m_captionId;
    int m_templateId;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    bool m_cancel = false;
    QPointer<QWidget> m_owner;
    bool m_ownerDisabled = false;
    bool m_created = false;
};

// The progress window of work in two levels (the buffer zones): the
// protocol calls drive the first bar (1003); the second bar (1004), for
// the work within one step of the first, and the text line (1005) are the
// caller's. Captioned by default with 126 "Skaičiuojama...".
class CDoubleProgressDlg : public CProgressDlg {
public:
    explicit CDoubleProgressDlg(int captionId = 0);

    // The second bar as a progress of its own: its calls drive bar 1004,
    // its cancel check is the window's.
    IProgress& SecondBar() { return m_second; }
    // The text line, code page 1257.
    void SetText(const std::string& text);

private:
    class CSecondBar : public IProgress {
    public:
        explicit CSecondBar(CDoubleProgressDlg& owner) : m_owner(owner) {}
        void SetRange(int lower, int upper) override;
        void SetStep(int step) override { m_step = step; }
        void SetPos(int position) override;
        void StepIt() override;
        bool CheckCancel() override { return m_owner.CheckCancel(); }

    private:
        CDoubleProgressDlg& m_owner;
        int m_step = 10;
    };

    CSecondBar m_second{*this};
};
