#!/usr/bin/env bash
# The qxsoap tool's command-line conventions: --help answered before any
# command runs, --version, usage errors with status 2, standard input read
# when it is not a terminal and the usage when it is.
#   conventions_test.sh TOOL VERSION SAMPLES_DIR
set -u
tool=$1 version=$2 samples=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A help request must not touch the registry: this file must never appear.
export QXCOM_REGISTRY=$scratch/registry
passed=0 failed=0

# check WHY STATUS STREAM PATTERN STDIN ARGS...: TOOL ARGS with STDIN exits
# STATUS with a line of STREAM (out or err) matching the ERE PATTERN.
check() {
  local why=$1 status=$2 stream=$3 pattern=$4 input=$5
  shift 5
  "$tool" "$@" <"$input" >"$scratch/out" 2>"$scratch/err"
  local got=$?
  if ((got == status)) && grep -qE -- "$pattern" "$scratch/$stream"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $why: qxsoap $* exited $got (expected $status, $stream matching '$pattern')"
    sed 's/^/  out: /' "$scratch/out"
    sed 's/^/  err: /' "$scratch/err"
  fi
}

# why                                                 status stream pattern  stdin  args
check "xml --help is help, not a file to read"        0 out '^usage: qxsoap xml '  /dev/null xml --help
check "-h is the short form"                          0 out '^usage: qxsoap wsdl ' /dev/null wsdl -h
check "--help after an argument wins, no library loaded" 0 out '^usage: qxsoap register ' /dev/null register libnone.so --help
check "help COMMAND is the same as COMMAND --help"    0 out '^usage: qxsoap serve ' /dev/null help serve
check "--help lists every command"                    0 out '^  unregister '       /dev/null --help
check "--version prints the project's version"        0 out "^qxsoap ${version//./\\.}\$" /dev/null --version
check "no command is a usage error"                   2 err '^usage: qxsoap '      /dev/null
check "an unknown command is a usage error"           2 err "unknown command 'frob'" /dev/null frob
check "help for an unknown command is too"            2 err "unknown command 'frob'" /dev/null help frob
check "wsdl without a file is a usage error"          2 err '^usage: qxsoap wsdl ' /dev/null wsdl
check "serve without a WSDL is a usage error"         2 err '^usage: qxsoap serve ' /dev/null serve
check "serve with a bad thread count is one too"      2 err '^usage: qxsoap serve ' /dev/null serve a.wsdl --threads 0
check "xml with two files is a usage error"           2 err '^usage: qxsoap xml '  /dev/null xml a.xml b.xml
check "xml reads standard input when it is a file"    0 out '<soap:Envelope'       "$samples/good.xml" xml
check "xml - reads standard input explicitly"         0 out '<soap:Envelope'       "$samples/good.xml" xml -

if [[ -e $QXCOM_REGISTRY ]]; then
  failed=$((failed + 1))
  echo "FAIL: a --help request wrote the registry"
fi

# With no FILE and a terminal for standard input: the usage at once, not a
# tool waiting for typed XML. script(1) supplies the terminal.
timeout 20 script -qec "'$tool' xml" /dev/null </dev/null >"$scratch/out" 2>&1
got=$?
if ((got == 2)) && grep -q '^usage: qxsoap xml ' "$scratch/out"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  echo "FAIL: qxsoap xml on a terminal exited $got (expected 2 with the usage)"
  sed 's/^/  tty: /' "$scratch/out"
fi

echo "$passed passed, $failed failed"
((failed == 0))
