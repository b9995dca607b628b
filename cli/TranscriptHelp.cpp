#include "TranscriptHelp.h"

#include "common/HelpLayout.h"
#include "output/OutcomeTable.h"
#include "ports/Transcript.h"

std::string TranscriptHelpText()
{
    const std::string failed = ExitNumber(CliOutcome::TranscriptFailed);
    return Wrap("",
                "--transcript FILE appends to FILE a header line for the run: #, the time in UTC, the program and "
                "its version, and the command line with each --pin value shown as ***. Then one line for each chunk "
                "of bytes that crossed a port, as it crossed it, with tab-separated columns: the milliseconds since "
                "the header, the port, " +
                    std::string(1, Transcript::Sent) + " (to the device), " + Transcript::Received + " (from it) or " +
                    Transcript::Discarded +
                    " (from it before it was asked for, so discarded unread), the bytes in hex, and the same bytes "
                    "as text with escapes. A line with ! in place of the direction tells a failure to open, set up "
                    "or hear from a port, with the system's reason, and one with = how the connection was secured "
                    "(TLS). Many ports may write at once; each line is written whole. A transcript never changes "
                    "what is sent, or when. It holds the PINs that were sent: a new FILE is readable by its owner "
                    "only (mode 0600); keep it as you keep a plan. FILE must be a regular file: a device, terminal, "
                    "serial port, FIFO or pipe is refused (exit " +
                    failed +
                    ") before any port is opened. A transcript that cannot be written is reported after the work: "
                    "exit " +
                    failed + " where the command succeeded, else the command's own code.",
                0) +
           "\n";
}
