#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace veldo {

// The file dialog of Open and Save. It keeps the chosen name from one use to the next,
// as the dialog's file name property did: Open starts empty, Save proposes the last name.
// Tests install a handler that answers instead of a dialog.
class FileDialog {
public:
    enum class Mode { Open, Save };
    // Gets the mode and the proposed name; returns the chosen name, or nullopt for Cancel.
    using Handler = std::function<std::optional<QString>(Mode mode, const QString &proposed)>;

    // nullopt when the user cancels.
    std::optional<QString> showOpen(QWidget *parent);
    std::optional<QString> showSave(QWidget *parent);

    QString fileName() const { return m_fileName; }

    static void setHandler(Handler handler);

private:
    std::optional<QString> show(QWidget *parent, Mode mode);
    static Handler &handler();

    QString m_fileName;
};

} // namespace veldo
