#!/usr/bin/env bash
# velmora-cli's XLIFF exports against the strict XLIFF 1.2 schema of OASIS
# together with Velmora's schema of its own attributes
# (packaging/velmora-phrase-file.xsd), with xmllint and no network.
#
# The OASIS schema is not part of this tree and no package of the system
# ships it: point VELMORA_XLIFF_STRICT_XSD at a copy of
# xliff-core-1.2-strict.xsd to run the check. Without it only Velmora's own
# schema is checked (it must compile) and the test reports itself skipped
# (exit 77).
# $1: path of the velmora-cli program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$1"
own="$here/../../packaging/velmora-phrase-file.xsd"
command -v xmllint >/dev/null || { echo "xmllint is missing: run scripts/install-deps.sh" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$own" "$work/velmora-phrase-file.xsd"
cp "$here/xml-namespace.xsd" "$work/xml.xsd"

# Velmora's schema compiles: a document it does not describe fails to
# validate (xmllint's status 3), but not for a fault of the schema (5).
echo '<probe/>' >"$work/probe.xml"
rc=0
xmllint --nonet --noout --schema "$work/velmora-phrase-file.xsd" "$work/probe.xml" 2>"$work/compile.log" || rc=$?
if [[ $rc != 3 ]]; then
  echo "FAIL: packaging/velmora-phrase-file.xsd does not compile (xmllint status $rc):" >&2
  cat "$work/compile.log" >&2
  exit 1
fi

strict="${VELMORA_XLIFF_STRICT_XSD:-}"
if [[ -z $strict || ! -r $strict ]]; then
  echo "SKIPPED: set VELMORA_XLIFF_STRICT_XSD to a copy of OASIS's xliff-core-1.2-strict.xsd"
  exit 77
fi
cp "$strict" "$work/xliff-core-1.2-strict.xsd"
# One schema for the three namespaces; the XML namespace comes first, so the
# strict schema's own import of it (from the network) is skipped.
cat >"$work/phrase-file.xsd" <<'XSD'
<?xml version="1.0" encoding="UTF-8"?>
<xsd:schema xmlns:xsd="http://www.w3.org/2001/XMLSchema" targetNamespace="urn:x-velmora:schema-check">
  <xsd:import namespace="http://www.w3.org/XML/1998/namespace" schemaLocation="xml.xsd"/>
  <xsd:import namespace="urn:x-velmora:phrase-file" schemaLocation="velmora-phrase-file.xsd"/>
  <xsd:import namespace="urn:oasis:names:tc:xliff:document:1.2" schemaLocation="xliff-core-1.2-strict.xsd"/>
</xsd:schema>
XSD

fail=0
validate() {  # expect (valid|invalid), file
  local out
  if out="$(xmllint --nonet --noout --schema "$work/phrase-file.xsd" "$2" 2>&1)"; then
    [[ $1 == valid ]] || { echo "FAIL: $2 validates, but it should not" >&2; fail=1; }
  else
    [[ $1 == invalid ]] || { echo "FAIL: $2 does not validate:" >&2; echo "$out" | head -20 >&2; fail=1; }
  fi
}

"$cli" make-sample "$work" >/dev/null
"$cli" new "$work/LOADING.KWI" -o "$work/west.vmprj" --module 1 --unit EUR --mode european --yes >/dev/null
"$cli" new "$work/LOADING.KWI" -o "$work/jp.vmprj" --module 1 --unit JPN --mode japanese --yes >/dev/null
# Translations switched on and off, several lines and a control character.
"$cli" translate "$work/west.vmprj" 0 $'K\u00f6ln' --codepage west-europe >/dev/null
"$cli" translate "$work/west.vmprj" 1 $'Zwei\r\nZeilen\x01' --codepage west-europe >/dev/null
"$cli" set "$work/west.vmprj" --off 1 >/dev/null
"$cli" translate "$work/jp.vmprj" 0 $'\u6771\u4eac' >/dev/null

"$cli" export "$work/west.vmprj" -o "$work/west.xlf" --language de >/dev/null
"$cli" export "$work/jp.vmprj" -o "$work/jp.xlf" --language pt_BR >/dev/null
LANG=C LC_ALL=C "$cli" export "$work/west.vmprj" -o "$work/nolang.xlf" 2>/dev/null >/dev/null
for f in west jp nolang; do validate valid "$work/$f.xlf"; done

# The check is strict: an attribute of Velmora's namespace that its schema
# does not declare, or a code page it does not name, is refused.
sed 's/velmora:unit-tag=/velmora:unknown="1" velmora:unit-tag=/' "$work/west.xlf" >"$work/undeclared.xlf"
sed 's/velmora:code-page="CP1252"/velmora:code-page="default"/' "$work/west.xlf" >"$work/default.xlf"
validate invalid "$work/undeclared.xlf"
validate invalid "$work/default.xlf"

[[ $fail == 0 ]] && echo "the XLIFF exports validate against the strict XLIFF 1.2 schema"
exit $fail
