#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace platform {
namespace {

MessageBoxHandler g_handler;

}  // namespace

void ShowMessageBox(const QString& text) {
    if (g_handler) {
        g_handler(text);
        return;
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        QMessageBox::critical(nullptr, QStringLiteral("Velmora"), text);
    } else {
        std::fprintf(stderr, "Velmora: %s\n", text.toLocal8Bit().constData());
    }
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

}  // namespace platform
