// Small helpers for driving the dialogs by their control names.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

#include "app/QtText.h"

namespace kelbo::test {

template <typename T> T* control(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

inline void click(QWidget* window, const char* name) {
    QPushButton* button = control<QPushButton>(window, name);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks the row of a list that shows `text`; false when there is none.
inline bool clickRow(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> rows = list->findItems(text, Qt::MatchExactly);
    if (rows.isEmpty())
        return false;
    list->scrollToItem(rows.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(rows.first()).center());
    return true;
}

inline bool doubleClickRow(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> rows = list->findItems(text, Qt::MatchExactly);
    if (rows.isEmpty())
        return false;
    list->scrollToItem(rows.first());
    const QPoint at = list->visualItemRect(rows.first()).center();
    // What a real double click delivers: press, release, double click, release.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    return true;
}

inline QStringList rowTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

inline std::string cp(const QString& text) {
    return fromQt(text);
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline void writeImage(const QString& path, QSize size, QColor colour, const char* format) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, format)) << path.toStdString();
}

// Runs `inspect` on the modal window that the next call opens, then closes it, so that a
// modal exec() inside the code under test returns.
inline void onNextModal(std::function<void(QWidget*)> inspect) {
    QTimer::singleShot(0, [inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        inspect(modal);
        if (modal && modal->isVisible())
            modal->close();
    });
}

} // namespace kelbo::test
