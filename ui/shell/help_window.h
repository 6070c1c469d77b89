// 帮助: the user guide in a window of its own, with its contents, back and
// forward, and a search; F1 opens it at the section of the window in front.
#pragma once

#include "ui/shell/guide_document.h"

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace lty {

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* owner);

    // Goes to the section whose anchor is `topic` (the top for an empty or
    // unknown one), as a step in the window's history.
    void ShowTopic(const QString& topic);
    // The anchor of the section shown last, empty at the top.
    QString CurrentTopic() const;
    const PreparedGuide& Guide() const { return guide_; }
    // The next place holding `text` (any letter case) after the selection,
    // from the top again past the end; false when the guide holds none.
    bool Find(const QString& text, bool backward = false);

    QTreeWidget* Contents = nullptr;
    QTextBrowser* Browser = nullptr;
    QLineEdit* SearchBox = nullptr;
    QLabel* NotFound = nullptr;
    QAction* ActBack = nullptr;
    QAction* ActForward = nullptr;
    QAction* ActHome = nullptr;
    QAction* ActFind = nullptr;
    QAction* ActFindNext = nullptr;
    QAction* ActFindPrevious = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SourceChanged(const QUrl& url);
    void ScrollToHeading(const QString& topic);
    PreparedGuide guide_;
    QAction* notFound_ = nullptr;
};

// The section of the guide about the window or page holding `widget` (the
// focus, or the window in front), e.g. "quotation-page"; empty for none.
QString HelpTopicOf(const QWidget* widget);

// "岚庭雅装饰报价系统操作说明.doc" in the current folder or beside the
// program, or empty when neither has one.
QString HelpDocumentPath();

// The help window of `owner` (the main window), made on first use and kept.
THelpWindow* HelpWindow(QWidget* owner);

// 帮助 and F1: a help document beside the program opens in the desktop's
// program for it; otherwise the guide, at the section of the window in front.
void OpenHelp(QWidget* owner);
// F1 also in the modal dialogs in front of `owner` (the main window), where
// its own key does not reach.
void InstallModalHelpKey(QWidget* owner);
// The guide at `topic`, in front (modal over a modal dialog, to be read).
void ShowGuide(QWidget* owner, const QString& topic);

} // namespace lty
