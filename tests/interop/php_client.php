<?php
// The interop base service called by PHP's SoapClient: every echo
// operation with values that stress the wire. One line per operation,
// "OPERATION ok" or "OPERATION FAIL: why"; exit status 1 when any failed.
//   php php_client.php [--literal] URL
// --literal: the document/literal SOAP 1.2 binding, whose operations take
// and answer their wrapper element (inputX in, return out) and whose arrays
// are a sequence of items named after their type.
$url = end($argv);
$literal = in_array("--literal", array_slice($argv, 1, -1));
$options = ["cache_wsdl" => WSDL_CACHE_NONE, "trace" => 1, "exceptions" => true];
if ($literal) $options += ["soap_version" => SOAP_1_2, "features" => SOAP_SINGLE_ELEMENT_ARRAYS];
$client = new SoapClient($url . "?wsdl", $options);

const ITEMS = ["echoStringArray" => "string", "echoIntegerArray" => "int", "echoFloatArray" => "float",
               "echoStructArray" => "SOAPStruct"];

// Calls `$operation` with `$value` in the binding's shape and answers the
// echoed value.
function call($client, $literal, $operation, $value) {
  if (!$literal) return $client->$operation($value);
  $parameter = "input" . substr($operation, 4);
  $item = ITEMS[$operation] ?? null;
  $response = $client->$operation([$parameter => $item ? [$item => $value] : $value]);
  $result = $response->return ?? null;
  return $item ? ($result->$item ?? []) : $result;
}

// Floats travel as xsd:float: both sides are compared as the 32-bit float
// they stand for, since PHP reads the shortest float text back as a double.
function asFloat32($x) { return unpack("g", pack("g", $x))[1]; }

function same($sent, $got) {
  if (is_float($sent)) return (is_float($got) || is_int($got)) && asFloat32($sent) == asFloat32($got);
  if (!is_array($sent)) return $sent === $got;
  // A struct comes back as an object, an empty array as nothing.
  $got = array_is_list($sent) ? ($got ?? []) : (array)$got;
  if (!is_array($got) || count($sent) != count($got)) return false;
  foreach (array_values($sent) as $i => $item) {
    if (!same($item, array_values($got)[$i])) return false;
  }
  return true;
}

function structOf($text, $number, $real) {
  return ["varString" => $text, "varInt" => $number, "varFloat" => $real];
}

$failed = 0;
// Calls `$operation` with each of `$values` and prints its line under
// `$label`: ok when `$matches` takes every echo.
function check($label, $operation, $values, $matches = "same") {
  global $client, $literal, $failed;
  $why = null;
  foreach ($values as $value) {
    try {
      $got = call($client, $literal, $operation, $value);
      if (!$matches($value, $got)) {
        $why = "sent " . substr(var_export($value, true), 0, 60) . ", got " .
               substr(var_export($got, true), 0, 60);
        break;
      }
    } catch (SoapFault $fault) {
      $why = "fault " . $fault->faultcode . ": " . $fault->getMessage();
      break;
    }
  }
  echo $label, $why === null ? " ok\n" : " FAIL: $why\n";
  if ($why !== null) $failed++;
}

$allBytes = implode(array_map("chr", range(0, 255)));
$many = array_map(fn($i) => "item $i", range(1, 10000));
check("echoString", "echoString", ["h\u{e9}llo \u{20ac}", "\u{1F600} astral \u{10348}", "   ", "", "<&>\"'"]);
check("echoStringArray", "echoStringArray", [["a", "", "\u{e9}"], [], $many]);
check("echoInteger", "echoInteger", [0, -2147483648, 2147483647]);
check("echoIntegerArray", "echoIntegerArray", [[1, -2, 3], []]);
check("echoFloat", "echoFloat", [1.5, -3.4028234663852886e38, 1.1754943508222875e-38]);
check("echoFloatArray", "echoFloatArray", [[0.5, -0.25], []]);
check("echoStruct", "echoStruct", [structOf("s \u{e9}", -7, 2.5)]);
check("echoStructArray", "echoStructArray", [[structOf("a", 1, 0.5), structOf("", 0, -1.5)], []]);
check("echoBase64", "echoBase64", [$allBytes, ""]);
check("echoHexBinary", "echoHexBinary", [$allBytes]);  // PHP hands hexBinary back decoded
check("echoBoolean", "echoBoolean", [true, false]);
// Dates: a UTC dateTime comes back as it went. A zone offset is applied
// by the handler's dateTime rule, which adds a "+" offset to the time (and
// subtracts a "-" one): 10:30+05:30 comes back as 16:00Z.
foreach ([["2026-12-06T10:30:00Z", "2026-12-06T10:30:00Z"],
          ["2026-12-06T10:30:00+05:30", "2026-12-06T16:00:00Z"],
          ["1999-12-31T23:59:59-01:00", "1999-12-31T22:59:59Z"]] as [$sent, $expected]) {
  check("echoDate $sent", "echoDate", [$sent], fn($sent, $got) => strtotime($got) == strtotime($expected));
}
check("echoDecimal", "echoDecimal", ["-123456789.0123456789"], fn($sent, $got) => $got == $sent);
try {
  $literal ? $client->echoVoid([]) : $client->echoVoid();
  echo "echoVoid ok\n";
} catch (SoapFault $fault) {
  echo "echoVoid FAIL: fault ", $fault->getMessage(), "\n";
  $failed++;
}
exit($failed ? 1 : 0);
