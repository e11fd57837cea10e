# bash completion for quorvan-cli: commands, options, and the settings keys
# (with their fixed values) after --set.

# Every key --set accepts, with the values it takes where they are fixed
# ("-" where any text goes). Settings-file keys first, then filter-file keys.
_quorvan_cli_key_values='
SourcePath -
TextSeqModifications Text Seq
AddPrefix Yes No
Prefix -
AddSuffix Yes No
Suffix -
CaseChange Yes No
Case Upper Lower
ReplaceString Yes No
SourceString -
DestString -
SequencePlacement Prefix Replace Suffix
NumericAlphaSequence Num Alpha
StartWith -
DigitCount -
ChangeExtension Yes No
ChangeExtensionString -
ConcatExtension Yes No
ConcatExtensionString -
IncludeSubFolders Yes No
LogFile Yes No
UndoBatchFile Yes No
RenameInPlace Yes No
RenameDestFolder -
ModifyAttributes Yes No
ModifyReadOnly Yes No
ModifyHidden Yes No
ModifySystem Yes No
ModifyArchive Yes No
ModifyDatesTimes Yes No
ModifyCreationDateTime Yes No
ModifyCreationDate -
ModifyCreationTime -
ModifyModDateTime Yes No
ModifyModDate -
ModifyModTime -
ModifyLastAccessedDateTime Yes No
ModifyLastAccessedDate -
ModifyLastAccessedTime -
HasFilters Yes No
FilterOnAttributes Yes No
FilterAttribsIncludeExclude Include Exclude
FilterOnReadOnly Yes No
FilterOnHidden Yes No
FilterOnSystem Yes No
FilterOnArchive Yes No
FilterOnTimes Yes No
FilterOnCreationDateTime Yes No
FilterOnCreationDate -
FilterOnCreationTime -
FilterOnCreationDateTimeDir Before On After
FilterOnModDateTime Yes No
FilterOnModifiedDate -
FilterOnModifiedTime -
FilterOnModifiedDateTimeDir Before On After
FilterOnLastAccessDateTime Yes No
FilterOnLastAccessedDate -
FilterOnLastAccessedTime -
FilterOnLastAccessedDateTimeDir Before On After
FilterOnExtension Yes No
FilterOnIncludeExtensions Yes No
FilterIncludeExtensions -
FilterOnExcludeExtensions Yes No
FilterExcludeExtensions -
'

_quorvan_cli_commands='preview run cd-names history undo'

# Puts into COMPREPLY the words of $2 that begin with $1, each on its own.
_quorvan_cli_offer() {
    local word
    COMPREPLY=()
    for word in $2; do
        [[ $word == "$1"* ]] && COMPREPLY+=("$word")
    done
}

# Splits $1 into the words the shell will see, into _quorvan_cli_typed: blanks
# part words, a backslash keeps the next character, quotes keep what they
# hold ("My\ Photos/" and "'My Photos/'" are one word, My Photos/). The last
# word is the one at the cursor, empty after a blank.
_quorvan_cli_words() {
    local line=$1 word='' quote='' c i started=0
    _quorvan_cli_typed=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if [[ $quote == "'" ]]; then
            if [[ $c == "'" ]]; then quote=''; else word+=$c; fi
        elif [[ $quote == '"' ]]; then
            if [[ $c == '"' ]]; then
                quote=''
            elif [[ $c == '\' ]] && ((i + 1 < ${#line})); then
                ((i++))
                word+=${line:i:1}
            else
                word+=$c
            fi
        elif [[ $c == '\' ]]; then
            ((i++))
            word+=${line:i:1}
            started=1
        elif [[ $c == "'" || $c == '"' ]]; then
            quote=$c
            started=1
        elif [[ $c == [[:space:]] ]]; then
            ((started)) && _quorvan_cli_typed+=("$word")
            word=''
            started=0
        else
            word+=$c
            started=1
        fi
    done
    _quorvan_cli_typed+=("$word")
}

_quorvan_cli() {
    # The words as the user typed them, "=" included, up to the cursor.
    local -a _quorvan_cli_typed
    _quorvan_cli_words "${COMP_LINE:0:COMP_POINT}"
    local -a typed=("${_quorvan_cli_typed[@]}")
    local cur=${typed[-1]} prev=''
    ((${#typed[@]} > 1)) && prev=${typed[-2]}

    # The command is the first word that is neither an option nor its value.
    local command='' word i
    for ((i = 1; i < ${#typed[@]} - 1; i++)); do
        word=${typed[i]}
        case $word in
            --settings | --save-settings | --set | --source | --release) ((i++)) ;;
            -*) ;;
            *)
                command=$word
                break
                ;;
        esac
    done

    case $prev in
        --source)
            _quorvan_cli_offer "$cur" 'cddb musicbrainz'
            return
            ;;
        --release)
            COMPREPLY=()
            return
            ;;
        --settings | --save-settings)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --set)
            local key values
            if [[ $cur == *=* ]]; then
                key=${cur%%=*}
                values=$(printf '%s\n' "$_quorvan_cli_key_values" |
                    awk -v key="$key" '$1 == key && $2 != "-" { $1 = ""; print }')
                _quorvan_cli_offer "${cur#*=}" "$values"
                # Where "=" splits words, bash replaces only what follows it.
                if [[ $COMP_WORDBREAKS != *=* ]]; then
                    COMPREPLY=("${COMPREPLY[@]/#/$key=}")
                fi
            else
                _quorvan_cli_offer "$cur" "$(printf '%s\n' "$_quorvan_cli_key_values" |
                    awk 'NF { print $1 "=" }')"
                compopt -o nospace 2>/dev/null
            fi
            return
            ;;
    esac

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            _quorvan_cli_offer "$cur" '--help --version'
        else
            _quorvan_cli_offer "$cur" "$_quorvan_cli_commands"
        fi
        return
    fi

    case $command in
        preview)
            if [[ $cur == -* ]]; then
                _quorvan_cli_offer "$cur" '--settings --set --save-settings --status -0 --help --'
                return
            fi
            ;;
        run)
            if [[ $cur == -* ]]; then
                _quorvan_cli_offer "$cur" '--settings --set --save-settings --no-journal --help --'
                return
            fi
            ;;
        cd-names)
            if [[ $cur == -* ]]; then
                _quorvan_cli_offer "$cur" '--source --release --help --'
                return
            fi
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "${cur:-/dev/sr}")
            return
            ;;
        history)
            COMPREPLY=()
            return
            ;;
        undo)
            if [[ $cur == -* ]]; then
                _quorvan_cli_offer "$cur" '--dry-run --help'
            else
                _quorvan_cli_offer "$cur" "$("${typed[0]}" history 2>/dev/null | cut -f1)"
            fi
            return
            ;;
    esac
    # FOLDER, then FILEs.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -F _quorvan_cli quorvan-cli
