# fish completion of glosscutter-cli's commands and options.

set -l commands scan wipe init help
set -l none "not __fish_seen_subcommand_from $commands"
set -l both "__fish_seen_subcommand_from scan wipe"
set -l scan "__fish_seen_subcommand_from scan"
set -l wipe "__fish_seen_subcommand_from wipe"

complete -c glosscutter-cli -f
complete -c glosscutter-cli -n $none -a scan -d 'Report the unused keywords'
complete -c glosscutter-cli -n $none -a wipe -d 'Comment out or delete the unused keywords'
complete -c glosscutter-cli -n $none -a init -d 'Write a .glosscutter.conf in the current folder'
complete -c glosscutter-cli -n $none -l version -d 'Show the version'
complete -c glosscutter-cli -l help -d 'Show the usage'

complete -c glosscutter-cli -n $both -l settings -r -F -d 'Read the settings from FILE'
complete -c glosscutter-cli -n $both -l no-settings -d 'Read no settings file at all'
complete -c glosscutter-cli -n $both -l keyword-file -r -F -d 'The header of text constants'
complete -c glosscutter-cli -n $both -l source-folder -x -a '(__fish_complete_directories)' -d 'A folder to scan'
complete -c glosscutter-cli -n $both -l skipped-file -r -F -d 'A file not to scan'
complete -c glosscutter-cli -n $both -l keep -x -d 'Never report symbols matching PATTERN'
complete -c glosscutter-cli -n $both -l strict -d 'Count mentioned keywords as unused'
complete -c glosscutter-cli -n $both -l quiet -d 'No progress and no summary line'
complete -c glosscutter-cli -n $both -l threads -x -d 'Scan on N threads'

complete -c glosscutter-cli -n $scan -l format -x -a 'text json sarif' -d 'Report format'
complete -c glosscutter-cli -n $scan -l unused -d 'json: only the unused keywords'
complete -c glosscutter-cli -n $scan -l check -d 'Exit with status 1 on an unused keyword'
complete -c glosscutter-cli -n $scan -l baseline -r -F -d 'Report only the symbols not in FILE'
complete -c glosscutter-cli -n $scan -l write-baseline -r -F -d 'Write the symbols reported now to FILE'
complete -c glosscutter-cli -n $scan -l color -x -a 'auto always never' -d 'Colour warnings and notes'

complete -c glosscutter-cli -n $wipe -l operation -x -a 'mark remove' -d 'Mark or remove'
complete -c glosscutter-cli -n $wipe -l dry-run -d 'Print a unified diff, write nothing'
complete -c glosscutter-cli -n $wipe -l allow-unreadable -d 'Wipe even when some sources could not be read'
