#pragma once
// Back and Forward in a picture opened on its own: the pictures beside it in its folder, or in
// its folder of a ZIP archive, in order of name.
#include "reader/document_factory.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lbv {

// The reader paths of the pictures next to the one given (itself included), sorted by name.
QStringList SiblingPictures(const QString& path, const BookSourceOptions& options);
// The picture `step` places away (-1 previous, 1 next); nothing past either end.
std::optional<QString> SiblingPicture(
    const QString& path, int step, const BookSourceOptions& options);

} // namespace lbv
