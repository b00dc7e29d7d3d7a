// What tab 1 adds for a new user and for the keyboard: a line saying what to
// do first while the property or provider list is empty (with the empty
// pop-ups reading as empty), and Return in the entry form pressing Add, or
// Change while a row is loaded.
#pragma once

#include <QObject>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace kov {

class LogTabGuide : public QObject {
    Q_OBJECT
public:
    // `page` is tab 1's page, built from its form.
    explicit LogTabGuide(QWidget *page);

    QLabel *firstRunLine() const { return line; }
    // The button Return presses now.
    QPushButton *defaultButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();
    void showEmpty(QComboBox *popup);

    QWidget *page;
    QComboBox *property;
    QComboBox *provider;
    QPushButton *add;
    QPushButton *change;
    QLabel *line;
    bool updateQueued = false;
};

} // namespace kov
