// Placeholder until the converters land: every conversion fails.
#include "import/import_book.h"

#include "import/log_line.h"
#include "text/messages.h"

namespace lbv {

BookImporter::Conversion BookImporter::ConvertDocument(
    CBookHeader& header, ImportOperation, bool*)
{
    context_.log->LogError(MessageText(Msg::ConverterMissing));
    CopyFailedSource(header);
    return Conversion::Failed;
}

} // namespace lbv
