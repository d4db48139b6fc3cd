// The command-line job that prints a report without a display: the same
// report procedure as the "&Reports" menu runs, on the headless presenter,
// with the print preview replaced by a PDF file or a print queue. main
// dispatches the "print" job here (PrintCommand), on the current folder's
// data.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ledora::app {

// args: what follows "print":
//   REPORT [--design NAME] [--from N] [--to N] (--pdf FILE | --printer QUEUE)
//   --list
// REPORT: customers, customers-by-name, items, invoice-list, invoices.
// Returns a JobStatus: 0 when pages were written, 1 with the procedure's
// message (and no output file), 2 for a wrong command line. The list goes
// to out, messages to messages.
int PrintJob(const std::vector<std::string>& args, std::ostream& out, std::ostream& messages);
// The program's "print" job: PrintJob to standard output and error, guarded
// as every job is, inside the report renderers' application.
int PrintCommand(const std::vector<std::string>& args);

}  // namespace ledora::app
