#!/usr/bin/env bash
# Checks that the qxsoap tool follows the usual command-line conventions:
# --help for every command without running it, --version, usage errors with
# status 2, standard input read when it is not a terminal and the usage
# when it is.
#   conventions_test.sh TOOL VERSION SAMPLES_DIR
set -u
tool=$1 version=$2 samples=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A help request must not touch the registry: this file must never appear.
export QXCOM_REGISTRY=$scratch/registry
passed=0 failed=0

# check WHY STATUS STREAM PATTERN STDIN ARGS...: runs TOOL ARGS with STDIN
# as standard input and expects exit STATUS and a line of STREAM (out or
# err) matching the extended regular expression PATTERN.
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
check "-h is the short form"                          0 out '^usage: qxsoap xml '  /dev/null xml -h
check "wsdl --help is help, not a file to read"       0 out '^usage: qxsoap wsdl '  /dev/null wsdl --help
check "wsdl without a file is a usage error"         2 err '^usage: qxsoap wsdl '  /dev/null wsdl
check "serve --help is help, not a WSDL to serve"    0 out '^usage: qxsoap serve '  /dev/null serve --help
check "serve without a WSDL is a usage error"         2 err '^usage: qxsoap serve '  /dev/null serve
check "serve with a bad thread count is one too"      2 err '^usage: qxsoap serve '  /dev/null serve a.wsdl --threads 0
check "register --help loads no library"              0 out '^usage: qxsoap register ' /dev/null register --help
check "--help after an argument still wins"           0 out '^usage: qxsoap unregister ' /dev/null unregister libnone.so --help
check "help COMMAND is the same as COMMAND --help"    0 out '^usage: qxsoap register ' /dev/null help register
check "--help lists every command"                    0 out '^  unregister '       /dev/null --help
check "--version prints the project's version"        0 out "^qxsoap ${version//./\\.}\$" /dev/null --version
check "no command is a usage error"                   2 err '^usage: qxsoap '      /dev/null
check "an unknown command is a usage error"           2 err "unknown command 'frob'" /dev/null frob
check "help for an unknown command is too"            2 err "unknown command 'frob'" /dev/null help frob
check "xml reads standard input when it is a file"    0 out '<soap:Envelope'       "$samples/good.xml" xml
check "xml - reads standard input explicitly"         0 out '<soap:Envelope'       "$samples/good.xml" xml -
check "xml with two files is a usage error"           2 err '^usage: qxsoap xml '  /dev/null xml a.xml b.xml

if [[ -e $QXCOM_REGISTRY ]]; then
  failed=$((failed + 1))
  echo "FAIL: a --help request wrote the registry"
fi

# With no FILE and a terminal for standard input the user gets the usage
# at once instead of a tool waiting for typed XML. script(1) supplies the
# terminal; timeout ends a tool that waits anyway.
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
