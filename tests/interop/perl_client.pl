#!/usr/bin/perl
# The interop base service called by Perl's SOAP::Lite (rpc/encoded, SOAP
# 1.1): every echo operation with values that stress the wire. One line per
# operation, "OPERATION ok" or "OPERATION FAIL: why"; exit status 1 when any
# failed.
#   perl perl_client.pl URL
use strict;
use warnings;
use utf8;
use SOAP::Lite;
use MIME::Base64;

my $url = shift;
# The method element under a prefix (ns, not uri, which would make the
# operation namespace the default one and so qualify every parameter and
# struct member in it).
my $soap = SOAP::Lite->ns('http://soapinterop.org/', 'm')->proxy($url)
    ->on_action(sub { '"http://soapinterop.org/"' });
$soap->autotype(1);
my $failed = 0;

# Calls OPERATION with one typed argument; the result, or undef and the
# fault's text.
sub call {
  my ($operation, $name, $value) = @_;
  my $som = $soap->call($operation => $value->name($name));
  return (undef, $som->faultcode . ': ' . $som->faultstring) if $som->fault;
  return ($som->result, undef);
}

sub report {
  my ($operation, $why) = @_;
  print $operation, defined $why ? " FAIL: $why\n" : " ok\n";
  $failed++ if defined $why;
}

sub same {
  my ($a, $b) = @_;
  return 0 unless defined $b;
  if (ref $a eq 'ARRAY') {
    return 0 unless ref $b eq 'ARRAY' && @$a == @$b;
    for my $i (0 .. $#$a) { return 0 unless same($a->[$i], $b->[$i]) }
    return 1;
  }
  if (ref $a eq 'HASH') {
    return 0 unless ref $b eq 'HASH';
    for my $k (keys %$a) { return 0 unless same($a->{$k}, $b->{$k}) }
    return 1;
  }
  return $a eq $b;
}

sub echo {
  my ($operation, $name, $type, @values) = @_;
  for my $value (@values) {
    my ($got, $fault) = call($operation, $name, SOAP::Data->type($type => $value));
    return report($operation, "fault $fault") if defined $fault;
    my $expected = $type eq 'base64Binary' ? $value : $value;
    return report($operation, "sent '" . (ref $value ? 'structure' : $value) . "', got '" .
                  (defined $got ? (ref $got ? 'structure' : $got) : 'nothing') . "'")
      unless same($expected, $got);
  }
  report($operation, undef);
}

my $all_bytes = join('', map { chr } 0 .. 255);
echo('echoString', 'inputString', 'string', "h\x{e9}llo \x{20ac}", "\x{1F600} astral", '   ', '',
     '<&>"\'');
echo('echoInteger', 'inputInteger', 'int', 0, -2147483648, 2147483647);
echo('echoFloat', 'inputFloat', 'float', 1.5, -0.25);
echo('echoBoolean', 'inputBoolean', 'boolean', 1, 0);
echo('echoBase64', 'inputBase64', 'base64Binary', $all_bytes);

# An encoded array of ITEMS of xsd TYPE.
sub array_of {
  my ($type, @items) = @_;
  return SOAP::Data->type('soapenc:Array' => [map { SOAP::Data->type($type => $_)->name('item') } @items])
      ->attr({'soapenc:arrayType' => "xsd:$type\[" . scalar(@items) . ']'});
}

sub echo_array {
  my ($operation, $name, $type, @lists) = @_;
  for my $items (@lists) {
    my ($got, $fault) = call($operation, $name, array_of($type, @$items));
    return report($operation, "fault $fault") if defined $fault;
    $got = [] if !defined $got && !@$items;
    return report($operation, scalar(@$items) . ' items sent, ' .
                  (ref $got eq 'ARRAY' ? scalar(@$got) : 'none') . ' or other values back')
      unless same($items, $got);
  }
  report($operation, undef);
}

echo_array('echoStringArray', 'inputStringArray', 'string', ['a', '', "\x{e9}"], [],
           [map { "item $_" } 1 .. 10000]);
echo_array('echoIntegerArray', 'inputIntegerArray', 'int', [1, -2, 2147483647], []);
echo_array('echoFloatArray', 'inputFloatArray', 'float', [0.5, -0.25]);
echo('echoDate', 'inputDate', 'dateTime', '2026-12-06T10:30:00Z');
echo('echoHexBinary', 'inputHexBinary', 'hexBinary', '00ABFF');
echo('echoDecimal', 'inputDecimal', 'decimal', '-123456789.0123456789');

# A SOAPStruct value of TEXT, NUMBER and REAL.
sub struct_of {
  my ($text, $number, $real) = @_;
  return SOAP::Data->type('ns:SOAPStruct' => \SOAP::Data->value(
      SOAP::Data->name(varString => $text)->type('string'),
      SOAP::Data->name(varInt => $number)->type('int'),
      SOAP::Data->name(varFloat => $real)->type('float')))
      ->attr({'xmlns:ns' => 'http://soapinterop.org/xsd'});
}

my ($got, $fault) = call('echoStruct', 'inputStruct', struct_of("s \x{e9}", -7, 2.5));
report('echoStruct', defined $fault ? "fault $fault"
                   : same({varString => "s \x{e9}", varInt => -7, varFloat => 2.5}, $got) ? undef
                   : 'values differ');

($got, $fault) = call('echoStructArray', 'inputStructArray',
                      SOAP::Data->type('soapenc:Array' => [struct_of('a', 1, 0.5)->name('item'),
                                                           struct_of('', 0, -1.5)->name('item')])
                          ->attr({'soapenc:arrayType' => 'ns:SOAPStruct[2]',
                                  'xmlns:ns' => 'http://soapinterop.org/xsd'}));
report('echoStructArray', defined $fault ? "fault $fault"
                        : same([{varString => 'a', varInt => 1, varFloat => 0.5},
                                {varString => '', varInt => 0, varFloat => -1.5}], $got) ? undef
                        : 'values differ');

my $som = $soap->call('echoVoid');
report('echoVoid', $som->fault ? 'fault ' . $som->faultstring : undef);
exit($failed ? 1 : 0);
