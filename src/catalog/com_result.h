#pragma once
// Result codes of calls into plug-ins and other components (32-bit, negative = failure, in the
// HRESULT convention the plug-in interface keeps) and their readable descriptions.
#include <QString>
#include <cstdint>

namespace lbv {

using ComResult = std::int32_t;

inline constexpr ComResult kResultOk = 0;
inline constexpr ComResult kResultFalse = 1;
inline constexpr ComResult kResultNotImplemented = ComResult(0x80004001u);
inline constexpr ComResult kResultNoInterface = ComResult(0x80004002u);
inline constexpr ComResult kResultPointer = ComResult(0x80004003u);
inline constexpr ComResult kResultAbort = ComResult(0x80004004u);
inline constexpr ComResult kResultFail = ComResult(0x80004005u);
inline constexpr ComResult kResultUnexpected = ComResult(0x8000FFFFu);
inline constexpr ComResult kResultAccessDenied = ComResult(0x80070005u);
inline constexpr ComResult kResultOutOfMemory = ComResult(0x8007000Eu);
inline constexpr ComResult kResultInvalidArgument = ComResult(0x80070057u);

// True for a success code, leaving `text` alone. Otherwise fills `text` with a description
// and " (Code XXXXXXXX)" and returns false. The generic failure reads "Operation failed.
// Description: " followed by the text of the calling thread's last system error (errno).
bool ComResultText(ComResult result, QString* text);

} // namespace lbv
