// Hands a file to the desktop's mail program as the attachment of a new
// message, through xdg-email. The print preview's "Send by e-mail..." uses
// it after saving the report as PDF.
#pragma once

#include <string>
#include <string_view>

namespace ledora::reporting {

enum MailResult {
  MailSent = 0,       // the mail program took the file
  MailNoProgram = 1,  // xdg-email or the mail program it needs is missing
  MailFailed = 2,     // it ran and refused
};

// A fresh file name for the attachment in a new temporary folder, made from
// the report's name; blank when no folder could be made.
std::string MailAttachmentName(std::string_view reportName);
// Waits a few seconds at most: a mail program that stays open has the file.
MailResult SendByMail(const std::string& file);
// What went wrong, in words for a message.
std::string MailProblem(MailResult result);

}  // namespace ledora::reporting
