# fish completion of glosscutter's options.

complete -c glosscutter -f
complete -c glosscutter -l settings -r -F -d 'Use FILE as the settings store'
complete -c glosscutter -l load -d 'Load the keyword file at once'
complete -c glosscutter -l used-list -d 'Open the Used List window'
complete -c glosscutter -s h -l help -d 'Show the options'
