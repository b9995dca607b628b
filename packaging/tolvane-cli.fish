# fish completion for tolvane-cli. The candidates come from the program itself
# (tolvane-cli --complete, from its command and option tables); this only
# hands them to fish. A line ":files" asks for file names too (a port may be
# any path); an option comes with its description after a tab, as fish shows it.
function __tolvane_cli_complete
    set -l words (commandline -opc) (commandline -ct)
    set -e words[1]
    for candidate in (command tolvane-cli --complete $words 2>/dev/null)
        if test "$candidate" = :files
            __fish_complete_path (commandline -ct)
        else
            printf '%s\n' $candidate
        end
    end
end
complete -c tolvane-cli -f -a '(__tolvane_cli_complete)'
