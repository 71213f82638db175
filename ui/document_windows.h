#pragma once

#include <QScopedPointer>
#include <QString>

#include "secondary_window.h"
#include "services.h"

class QTextBrowser;

namespace Ui {
class Form2;
class Form3;
class Form4;
}  // namespace Ui

namespace moravik::ui {

// A window that shows one Rich Text Format help document from the
// application's folder. The file is read each time the window is loaded, so a
// changed file shows after the window has been closed and opened again.
class DocumentWindow : public SecondaryWindow {
    Q_OBJECT
public:
    // The full path of the document, with the platform's separators.
    QString documentPath() const;

protected:
    DocumentWindow(Services services, QString fileName);
    // Called once by each window after building its design.
    void setView(QTextBrowser* view);
    bool load() override;
    void unload() override;

private:
    const Services services;
    const QString fileName;
    QTextBrowser* view = nullptr;
};

// "Field Inputs"
class Form2 final : public DocumentWindow {
    Q_OBJECT
public:
    explicit Form2(Services services);
    ~Form2() override;

private:
    const QScopedPointer<Ui::Form2> ui;
};

// "FAQ"
class Form3 final : public DocumentWindow {
    Q_OBJECT
public:
    explicit Form3(Services services);
    ~Form3() override;

private:
    const QScopedPointer<Ui::Form3> ui;
};

// "Nitrous 101"
class Form4 final : public DocumentWindow {
    Q_OBJECT
public:
    explicit Form4(Services services);
    ~Form4() override;

private:
    const QScopedPointer<Ui::Form4> ui;
};

}  // namespace moravik::ui
