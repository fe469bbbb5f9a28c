#pragma once

namespace quarvo {

// Results of message boxes and dialogs. The numbers are part of the program's contracts (a dialog's
// "Save" returns 2114; the close question's "Yes To All" returns 4), so they are fixed here once.
namespace DialogResult {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Retry = 4;
constexpr int YesToAll = 4;
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int Save = 2114;
} // namespace DialogResult

} // namespace quarvo
