#include "ui/shell/help_window.h"

#include "ui/common/globals.h"

#include <algorithm>

#include <QAction>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidgetItemIterator>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace lty {
namespace {

constexpr const char* kGuideUrl = "qrc:/guide/guide.html";
constexpr const char* kHelpDocument = "岚庭雅装饰报价系统操作说明.doc";
constexpr int kAnchorRole = Qt::UserRole;

// Serves the prepared guide for its address; pictures and everything else
// come from the resources as usual.
class GuideBrowser : public QTextBrowser {
public:
    GuideBrowser(QWidget* parent, const QString& html) : QTextBrowser(parent), html_(html) {}
    QVariant loadResource(int type, const QUrl& name) override {
        if (name.toString(QUrl::RemoveFragment) == QLatin1String(kGuideUrl)) return html_;
        return QTextBrowser::loadResource(type, name);
    }

private:
    QString html_;
};

QUrl TopicUrl(const QString& topic) {
    QUrl url(QString::fromLatin1(kGuideUrl));
    if (!topic.isEmpty()) url.setFragment(topic);
    return url;
}

// Which section each window and page is about: by the window's name alone,
// or by the window's name and the page's.
const QHash<QString, QString>& TopicTable() {
    static const QHash<QString, QString> table{
        {QStringLiteral("TFrmMain"), QStringLiteral("main-window")},
        {QStringLiteral("TFrmNewProject"), QStringLiteral("new-project")},
        {QStringLiteral("TFrmSelectHuxing"), QStringLiteral("house-type")},
        {QStringLiteral("TFrmProject_Detail"), QStringLiteral("project-information")},
        {QStringLiteral("TFrmProject_Detail/TabSheet1"), QStringLiteral("project-information")},
        {QStringLiteral("TFrmProject_Detail/TabSheet2"), QStringLiteral("quotation-page")},
        {QStringLiteral("TFrmPrint"), QStringLiteral("printing")},
        {QStringLiteral("TFrmPassWord"), QStringLiteral("system")},
        {QStringLiteral("TFrmSystem"), QStringLiteral("system")},
        {QStringLiteral("TFrmSystem/TabSheet1"), QStringLiteral("system-password")},
        {QStringLiteral("TFrmSystem/TabSheet2"), QStringLiteral("system-catalog")},
        {QStringLiteral("TFrmSystem/TabSheet3"), QStringLiteral("system-prices")},
        {QStringLiteral("TFrmSystem/TabSheet4"), QStringLiteral("system-company")},
        {QStringLiteral("TFrmSystem/TabSheet5"), QStringLiteral("system-designers")},
        {QStringLiteral("TFrmSystem/TabSheet6"), QStringLiteral("system-backup")},
        {QStringLiteral("TFrmAbout"), QStringLiteral("about")},
        {QStringLiteral("TFrmProject_Detail/EditOverheadRate"), QStringLiteral("rates")},
        {QStringLiteral("TFrmProject_Detail/EditTaxRate"), QStringLiteral("rates")},
        {QStringLiteral("TFrmProject_Detail/ComboDiscountKind"), QStringLiteral("rates")},
        {QStringLiteral("TFrmProject_Detail/EditDiscountValue"), QStringLiteral("rates")},
        {QStringLiteral("TFrmProject_Detail/EditDiscount"), QStringLiteral("rates")},
        {QStringLiteral("TFrmProject_Detail/VersionsBox"), QStringLiteral("signed")},
        {QStringLiteral("TFrmProject_Detail/VersionBar"), QStringLiteral("signed")},
        {QStringLiteral("TFrmNewProject/BtnDeleteTemplate"), QStringLiteral("templates")},
        {QStringLiteral("TFrmRoomSize"), QStringLiteral("room-size")},
        {QStringLiteral("TFrmReprice"), QStringLiteral("reprice")},
        {QStringLiteral("TFrmChangeOrder"), QStringLiteral("change-order")},
        {QStringLiteral("TFrmServerLogin"), QStringLiteral("server-login")},
    };
    return table;
}

bool IsWindowName(const QString& name) { return name.startsWith(QLatin1String("TFrm")); }

QString TopicOfOne(const QWidget* w) {
    if (!w) return {};
    const QString name = w->objectName();
    if (IsWindowName(name)) return TopicTable().value(name);
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (IsWindowName(p->objectName())) return TopicTable().value(p->objectName() + QLatin1Char('/') + name);
    return {};
}

} // namespace

QString HelpTopicOf(const QWidget* widget) {
    // The nearest page or window that has a section; a page control seen on
    // the way up (the focus on its tabs) answers for its current page.
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<const QTabWidget*>(w))
            if (QString t = TopicOfOne(tabs->currentWidget()); !t.isEmpty()) return t;
        if (QString t = TopicOfOne(w); !t.isEmpty()) return t;
    }
    return {};
}

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(QStringLiteral("帮助 - 岚庭雅装饰报价系统操作说明"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1040, 720);
    guide_ = PrepareGuide(GuideMarkdown(), QString::fromLatin1(kGuideFolder), 760);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("HelpToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ActBack = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("后退"));
    ActBack->setObjectName(QStringLiteral("ActBack"));
    ActBack->setShortcuts(QKeySequence::Back);
    ActBack->setEnabled(false);
    ActForward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("前进"));
    ActForward->setObjectName(QStringLiteral("ActForward"));
    ActForward->setShortcuts(QKeySequence::Forward);
    ActForward->setEnabled(false);
    ActHome = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("目录"));
    ActHome->setObjectName(QStringLiteral("ActHome"));
    ActHome->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    bar->addSeparator();
    SearchBox = new QLineEdit(bar);
    SearchBox->setObjectName(QStringLiteral("SearchBox"));
    SearchBox->setPlaceholderText(QStringLiteral("查找（Ctrl+F）"));
    SearchBox->setAccessibleName(QStringLiteral("在操作说明中查找"));
    SearchBox->setClearButtonEnabled(true);
    SearchBox->setMaximumWidth(260);
    bar->addWidget(SearchBox);
    ActFindNext = bar->addAction(QStringLiteral("查找下一个"));
    ActFindNext->setObjectName(QStringLiteral("ActFindNext"));
    ActFindNext->setShortcut(QKeySequence::FindNext);
    ActFindPrevious = bar->addAction(QStringLiteral("查找上一个"));
    ActFindPrevious->setObjectName(QStringLiteral("ActFindPrevious"));
    ActFindPrevious->setShortcut(QKeySequence::FindPrevious);
    NotFound = new QLabel(QStringLiteral("未找到"), bar);
    NotFound->setObjectName(QStringLiteral("NotFound"));
    NotFound->setContentsMargins(8, 0, 0, 0);
    // In a tool bar, the action shows and hides the widget.
    notFound_ = bar->addWidget(NotFound);
    notFound_->setVisible(false);
    ActFind = new QAction(QStringLiteral("查找"), this);
    ActFind->setObjectName(QStringLiteral("ActFind"));
    ActFind->setShortcut(QKeySequence::Find);
    addAction(ActFind);
    for (QAction* a : {ActBack, ActForward, ActHome, ActFindNext, ActFindPrevious})
        if (!a->shortcut().isEmpty())
            a->setToolTip(a->text() + QStringLiteral("（") + a->shortcut().toString(QKeySequence::NativeText) +
                          QStringLiteral("）"));

    Contents = new QTreeWidget(this);
    Contents->setObjectName(QStringLiteral("Contents"));
    Contents->setAccessibleName(QStringLiteral("目录"));
    Contents->setHeaderHidden(true);
    Contents->setColumnCount(1);
    // The title (the one "#") stands above the contents; the sections and
    // their parts are the tree.
    std::vector<QTreeWidgetItem*> parents;
    for (const GuideHeading& h : guide_.Headings) {
        if (h.Level < 2 || h.Level > 3) continue;
        auto* item = new QTreeWidgetItem(QStringList{h.Text});
        item->setData(0, kAnchorRole, h.Anchor);
        if (h.Level == 2 || parents.empty()) {
            Contents->addTopLevelItem(item);
            parents = {item};
        } else {
            parents.front()->addChild(item);
        }
    }
    Contents->expandAll();

    Browser = new GuideBrowser(this, guide_.Html);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setAccessibleName(QStringLiteral("操作说明"));
    Browser->setOpenExternalLinks(true);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Contents);
    split->addWidget(Browser);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 800});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(split);

    connect(ActBack, &QAction::triggered, Browser, &QTextBrowser::backward);
    connect(ActForward, &QAction::triggered, Browser, &QTextBrowser::forward);
    connect(ActHome, &QAction::triggered, this, [this] { ShowTopic({}); });
    connect(Browser, &QTextBrowser::backwardAvailable, ActBack, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ActForward, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::sourceChanged, this, &THelpWindow::SourceChanged);
    const auto go = [this](QTreeWidgetItem* item) {
        if (item) ShowTopic(item->data(0, kAnchorRole).toString());
    };
    connect(Contents, &QTreeWidget::itemActivated, this, go);
    connect(Contents, &QTreeWidget::itemClicked, this, go);
    connect(ActFind, &QAction::triggered, this, [this] {
        SearchBox->setFocus(Qt::ShortcutFocusReason);
        SearchBox->selectAll();
    });
    connect(SearchBox, &QLineEdit::returnPressed, this, [this] { Find(SearchBox->text()); });
    connect(SearchBox, &QLineEdit::textChanged, this, [this] { notFound_->setVisible(false); });
    connect(ActFindNext, &QAction::triggered, this, [this] { Find(SearchBox->text()); });
    connect(ActFindPrevious, &QAction::triggered, this, [this] { Find(SearchBox->text(), true); });

    Browser->setSource(TopicUrl({}));
}

void THelpWindow::ShowTopic(const QString& topic) {
    const bool known = std::any_of(guide_.Headings.begin(), guide_.Headings.end(),
                                   [&topic](const GuideHeading& h) { return h.Anchor == topic; });
    const QUrl url = TopicUrl(known ? topic : QString());
    if (url == Browser->source()) {
        // The same place again: back where the section starts, no new step.
        ScrollToHeading(url.fragment());
        return;
    }
    Browser->setSource(url);
}

void THelpWindow::ScrollToHeading(const QString& topic) {
    // The heading whole at the top, with a little room above it (the
    // anchor alone would put its baseline there and cut the text).
    int index = -1;
    for (std::size_t i = 0; i < guide_.Headings.size(); ++i)
        if (guide_.Headings[i].Anchor == topic) index = static_cast<int>(i);
    if (topic.isEmpty() || index < 0) {
        Browser->verticalScrollBar()->setValue(0);
        return;
    }
    QTextDocument* doc = Browser->document();
    int seen = -1;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() <= 0 || ++seen < index) continue;
        const qreal top = doc->documentLayout()->blockBoundingRect(b).top();
        Browser->verticalScrollBar()->setValue(std::max(0, static_cast<int>(top) - 6));
        return;
    }
}

void THelpWindow::hideEvent(QHideEvent* event) {
    // Modal only while over the dialog it was opened from.
    setWindowModality(Qt::NonModal);
    QWidget::hideEvent(event);
}

void THelpWindow::showEvent(QShowEvent* event) {
    // The browser, shown first, has gone to its anchor on its own; the
    // heading is put whole at the top again.
    QWidget::showEvent(event);
    ScrollToHeading(CurrentTopic());
}

QString THelpWindow::CurrentTopic() const { return Browser->source().fragment(); }

void THelpWindow::SourceChanged(const QUrl& url) {
    const QString topic = url.fragment();
    ScrollToHeading(topic);
    // The contents follow the page without going anywhere themselves.
    const QSignalBlocker block(Contents);
    Contents->clearSelection();
    for (QTreeWidgetItemIterator it(Contents); *it; ++it)
        if ((*it)->data(0, kAnchorRole).toString() == topic) {
            Contents->setCurrentItem(*it);
            Contents->scrollToItem(*it);
            break;
        }
}

bool THelpWindow::Find(const QString& text, bool backward) {
    notFound_->setVisible(false);
    if (text.isEmpty()) return false;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (Browser->find(text, flags)) return true;
    // Past the end (or the start): round again from the other end.
    QTextCursor c = Browser->textCursor();
    c.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    Browser->setTextCursor(c);
    if (Browser->find(text, flags)) return true;
    notFound_->setVisible(true);
    return false;
}

QString HelpDocumentPath() {
    const QString name = QString::fromUtf8(kHelpDocument);
    for (const QString& folder : {QDir::currentPath(), QString::fromStdString(ProgramDirectory)}) {
        if (folder.isEmpty()) continue;
        const QString path = QDir(folder).absoluteFilePath(name);
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

THelpWindow* HelpWindow(QWidget* owner) {
    static QPointer<THelpWindow> window;
    if (!window || window->parentWidget() != owner) {
        delete window.data();
        window = new THelpWindow(owner);
        // Over the program's window the first time; where the user puts it after that.
        if (owner) window->move(owner->frameGeometry().center() - window->rect().center());
    }
    return window;
}

void ShowGuide(QWidget* owner, const QString& topic) {
    THelpWindow* help = HelpWindow(owner);
    help->ShowTopic(topic);
    // Over a modal dialog the guide must be modal itself to be read, and is
    // shown again to become so; closed, it leaves the dialog as it was.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != help && help->windowModality() != Qt::ApplicationModal) {
        help->hide();
        help->setWindowModality(Qt::ApplicationModal);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

namespace {

// F1 in a modal dialog: the main window's key is blocked there like the
// window itself, so the dialog's F1 is caught on its way in.
class ModalHelpKey : public QObject {
public:
    explicit ModalHelpKey(QWidget* owner) : QObject(owner), owner_(owner) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
            static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
            return false;
        QWidget* modal = QApplication::activeModalWidget();
        auto* target = qobject_cast<QWidget*>(watched);
        if (!modal || !target || target->window() != modal || modal->objectName() == QLatin1String("THelpWindow"))
            return false;
        OpenHelp(owner_);
        return true;
    }

private:
    QWidget* owner_;
};

} // namespace

void InstallModalHelpKey(QWidget* owner) { qApp->installEventFilter(new ModalHelpKey(owner)); }

void OpenHelp(QWidget* owner) {
    // A document of the firm's own, put beside the program, comes first.
    if (const QString doc = HelpDocumentPath(); !doc.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(doc));
        return;
    }
    const QWidget* from = QApplication::focusWidget();
    if (!from) from = QApplication::activeWindow();
    if (!from || from == owner) {
        // Nothing in front holds the focus: the project window in front, if any.
        const auto* area = owner->findChild<QMdiArea*>();
        from = area && area->activeSubWindow() ? area->activeSubWindow() : owner;
        if (auto* sub = qobject_cast<const QMdiSubWindow*>(from))
            if (auto* tabs = sub->findChild<QTabWidget*>()) from = tabs;
    }
    // The help window itself stays where it is.
    if (from && from->window()->objectName() == QLatin1String("THelpWindow")) {
        ShowGuide(owner, HelpWindow(owner)->CurrentTopic());
        return;
    }
    ShowGuide(owner, HelpTopicOf(from));
}

} // namespace lty
