#pragma once

#include <QString>

#include <functional>

namespace platform {

// Shows a message to the user and waits until it is dismissed. Tests and headless tools replace
// the handler, so that nothing waits for a click.
void ShowMessageBox(const QString& text);

using MessageBoxHandler = std::function<void(const QString& text)>;
// Installs `handler` (an empty one restores the dialog); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
