#include "import/import_options.h"

#include "catalog/file_name_mask.h"
#include "import/book_placement.h"
#include "settings/settings_store.h"
#include "text/messages.h"

namespace lbv {

ImportOptions ReadImportOptions(SettingsStore& settings)
{
    const QString section = QStringLiteral("Settings");
    const auto text = [&](const char16_t* name, const QString& fallback = {}) {
        return settings.GetProfileString(section, QString::fromUtf16(name), fallback);
    };
    const auto number = [&](const char16_t* name, qint32 fallback) {
        return settings.GetProfileInt(section, QString::fromUtf16(name), fallback);
    };

    ImportOptions options;
    const qint32 action = number(u"ExistingBookAction", 0);
    options.existingBookAction
        = action == 1 || action == 2 ? ExistingBookAction(action) : ExistingBookAction::Ask;
    options.defaultGenre = settings.GetProfileString(
        QStringLiteral("ImportView"), QStringLiteral("DefaultGenre"), options.defaultGenre);
    options.convertedFilesDir = text(u"ConvertedFilesDir");
    options.failedFilesDir = text(u"FailedFilesDir");
    options.copyFailedFiles = number(u"CopyFailedFiles", 0) != 0;
    options.logFilesDir = text(u"LogFilesDir");
    options.writeLogs = number(u"WriteLogs", 0) != 0;
    options.renameBookMask = text(u"RenameBookMask", options.renameBookMask);
    options.useZipCompression = number(u"UseZipCompression", 1) != 0;
    options.bookCharset = BookCharsetSetting(settings);
    return options;
}

QString RenameMaskExample(const QString& folder, const QString& mask, bool useZipCompression)
{
    if (mask.isEmpty())
        return {};
    const QString name
        = ExpandMask(mask, QStringLiteral("Ивар"), QStringLiteral("Кессель"),
              QStringLiteral("Прелюдия к основанию"), QStringLiteral("sf"), CompressionNone)
        + (useZipCompression ? u".zip" : u".fb2");
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

QString OperationText(ImportOperation operation)
{
    switch (operation) {
    case ImportOperation::Standard:
        return MessageText(Msg::OperationStandardImport);
    case ImportOperation::JustConvert:
        return MessageText(Msg::OperationJustConvert);
    case ImportOperation::InPlace:
        break;
    }
    return MessageText(Msg::OperationImportInPlace);
}

} // namespace lbv
