#pragma once

#include "platform/CommandTarget.h"
#include "shell/CommandRegistry.h"
#include "shell/ShellDocument.h"

#include <QMdiSubWindow>
#include <QPointer>

#include <string>
#include <vector>

class CDocManager;
class CDocTemplate;

// A document's frame in the main window's multi-document area (the map
// window): its content widget holds the views; the view that last had the
// focus is the first target of the route. Closing the last frame of a
// modified document asks to save it; the views go before the document.
class CMdiChild : public QMdiSubWindow, public IDocFrame, public ICommandTarget {
public:
    CMdiChild(CShellDocument& document, CDocTemplate& docTemplate);
    ~CMdiChild() override;

    // Null once the frame has let its document go.
    CShellDocument* GetDocument() const { return m_document; }
    CDocTemplate& GetDocTemplate() const { return m_template; }
    int GetResourceId() const;

    // A view inside the content and the target behind it; the first one
    // is active until another gets the focus.
    void AddView(QWidget* view, ICommandTarget* target);
    QWidget* GetActiveView() const;
    ICommandTarget* GetActiveViewTarget() const;
    void SetActiveView(QWidget* view);

    CCommandTable& Commands() { return m_commands; }

    void InitialUpdateFrame() override;
    void ActivateFrame() override;
    void DestroyFrame() override;
    void OnDocumentTitleChanged(const std::string& title) override;

    bool OnCommand(int id) override { return m_commands.OnCommand(id); }
    bool OnUpdateCommand(CCommandState& state) override { return m_commands.OnUpdateCommand(state); }
    bool HandlesCommand(int id) const override { return m_commands.HandlesCommand(id); }

protected:
    // The views' first update, before the frame shows.
    virtual void OnInitialUpdate() {}
    void closeEvent(QCloseEvent* event) override;
    template <class Self>
    void InstallRegisteredCommands(Self& self)
    {
        CCommandRegistry<Self>::Instance().InstallInto(self, m_commands);
    }
    // The views go now and the manager hears that the frame is gone. The
    // destructor does it; a subclass whose views use its members calls
    // it first in its own destructor.
    void TearDown();

private:
    struct View {
        QPointer<QWidget> widget;
        ICommandTarget* target;
    };
    void OnFocusChanged(QWidget* now);

    CShellDocument* m_document;
    CDocTemplate& m_template;
    CDocManager* m_manager;
    std::vector<View> m_views;
    QPointer<QWidget> m_activeView;
    CCommandTable m_commands;
    bool m_tornDown = false;
};
