#include "shell/widgets/MdiChild.h"

#include "platform/QtText.h"
#include "shell/DocManager.h"
#include "shell/widgets/ControlIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>

CMdiChild::CMdiChild(CShellDocument& document, CDocTemplate& docTemplate)
    : m_document(&document), m_template(docTemplate), m_manager(document.GetDocManager())
{
    setAttribute(Qt::WA_DeleteOnClose);
    SetControlId(this, docTemplate.GetResourceId());
    setWindowTitle(ToQString(document.GetTitle()));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

CMdiChild::~CMdiChild()
{
    TearDown();
}

int CMdiChild::GetResourceId() const
{
    return m_template.GetResourceId();
}

void CMdiChild::AddView(QWidget* view, ICommandTarget* target)
{
    m_views.push_back({view, target});
    if (!m_activeView)
        m_activeView = view;
}

QWidget* CMdiChild::GetActiveView() const
{
    return m_activeView;
}

ICommandTarget* CMdiChild::GetActiveViewTarget() const
{
    if (!m_activeView)
        return nullptr;
    for (const View& view : m_views)
        if (view.widget == m_activeView)
            return view.target;
    return nullptr;
}

void CMdiChild::SetActiveView(QWidget* view)
{
    for (const View& v : m_views)
        if (v.widget && v.widget == view)
            m_activeView = view;
}

void CMdiChild::OnFocusChanged(QWidget* now)
{
    if (!now || m_tornDown)
        return;
    for (const View& view : m_views) {
        if (view.widget && (view.widget == now || view.widget->isAncestorOf(now))) {
            m_activeView = view.widget;
            return;
        }
    }
}

void CMdiChild::InitialUpdateFrame()
{
    OnInitialUpdate();
    ActivateFrame();
}

void CMdiChild::ActivateFrame()
{
    show();
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    if (m_activeView)
        m_activeView->setFocus(Qt::OtherFocusReason);
}

void CMdiChild::DestroyFrame()
{
    TearDown();
    hide();
    if (QMdiArea* area = mdiArea())
        area->removeSubWindow(this);
    deleteLater();
}

void CMdiChild::OnDocumentTitleChanged(const std::string& title)
{
    setWindowTitle(ToQString(title));
}

void CMdiChild::closeEvent(QCloseEvent* event)
{
    if (!m_tornDown && m_manager && !m_manager->CanCloseFrame(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        TearDown();
}

void CMdiChild::TearDown()
{
    if (m_tornDown)
        return;
    m_tornDown = true;
    m_views.clear();
    m_activeView = nullptr;
    // The views hold the document: they go first.
    if (QWidget* content = widget()) {
        setWidget(nullptr);
        delete content;
    }
    CShellDocument* document = m_document;
    m_document = nullptr;
    if (m_manager && document)
        m_manager->FrameDestroyed(*this);
}
