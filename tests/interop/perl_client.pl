#!/usr/bin/perl
# The interop base service called by Perl's SOAP::Lite: every echo operation
# with values that stress the wire. One line per operation, "OPERATION ok" or
# "OPERATION FAIL: why"; exit status 1 when any failed.
#   perl perl_client.pl [--literal] URL
# Without --literal: the rpc/encoded SOAP 1.1 binding, every value xsi-typed
# and arrays as soapenc:Array. --literal: the document/literal wrapped SOAP
# 1.2 binding, its messages built here as SOAP::Lite's WSDL reader takes
# SOAP 1.1 bindings only: the operation's element in http://soapinterop.org/
# holding an unqualified inputX; struct members and array items (named after
# their type) qualified in http://soapinterop.org/xsd; nothing typed. The
# echo is read from the response's unqualified return element, each element
# checked to be named and qualified as the schema says.
use strict;
use warnings;
use utf8;
use SOAP::Lite;
use MIME::Base64;

my $OPERATIONS = 'http://soapinterop.org/';
my $TYPES = 'http://soapinterop.org/xsd';
# A SOAPStruct's members in order, with their xsd types.
my @MEMBERS = ([varString => 'string'], [varInt => 'int'], [varFloat => 'float']);

sub struct_of {
  my ($text, $number, $real) = @_;
  return {varString => $text, varInt => $number, varFloat => $real};
}

my $all_bytes = join('', map { chr } 0 .. 255);
# Operation, xsd type of the value (of the items, for an array), values sent.
my @CASES = (
  [echoString => 'string', "h\x{e9}llo \x{20ac}", "\x{1F600} astral", '   ', '', '<&>"\''],
  [echoInteger => 'int', 0, -2147483648, 2147483647],
  [echoFloat => 'float', 1.5, -0.25],
  [echoBoolean => 'boolean', 1, 0],
  [echoBase64 => 'base64Binary', $all_bytes],
  [echoStringArray => 'string', ['a', '', "\x{e9}"], [], [map { "item $_" } 1 .. 10000]],
  [echoIntegerArray => 'int', [1, -2, 2147483647], []],
  [echoFloatArray => 'float', [0.5, -0.25]],
  [echoDate => 'dateTime', '2026-12-06T10:30:00Z'],
  [echoHexBinary => 'hexBinary', '00ABFF'],
  [echoDecimal => 'decimal', '-123456789.0123456789'],
  [echoStruct => 'SOAPStruct', struct_of("s \x{e9}", -7, 2.5)],
  [echoStructArray => 'SOAPStruct', [struct_of('a', 1, 0.5), struct_of('', 0, -1.5)]],
);

my $failed = 0;

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

# A value for a FAIL line: short, and on one line whatever bytes it holds.
sub shown {
  my $value = shift;
  return 'nothing' unless defined $value;
  return scalar(@$value) . ' items' if ref $value eq 'ARRAY';
  return 'a structure' if ref $value;
  (my $text = substr($value, 0, 40)) =~ s/([^\x20-\x7e])/sprintf('\\x{%x}', ord $1)/ge;
  return "'$text'";
}

sub fault_text {
  my $som = shift;
  return join ': ', map { $_ // '?' } $som->faultcode // $som->valueof('//Fault/Code/Value'),
                                      $som->faultstring // $som->valueof('//Fault/Reason/Text');
}

# echoStringArray takes inputStringArray, and so on.
sub parameter { return 'input' . substr(shift, 4) }

# VALUE as rpc/encoded data of xsd TYPE: a struct typed in the types'
# namespace, an array as a soapenc:Array of items named item.
sub encoded {
  my ($type, $value) = @_;
  if (ref $value eq 'ARRAY') {
    my $struct = $type eq 'SOAPStruct';
    my $item_type = $struct ? 'ns:SOAPStruct' : "xsd:$type";
    return SOAP::Data->type('soapenc:Array' => [map { encoded($type, $_)->name('item') } @$value])
        ->attr({'soapenc:arrayType' => "$item_type\[" . scalar(@$value) . ']',
                $struct ? ('xmlns:ns' => $TYPES) : ()});
  }
  if (ref $value eq 'HASH') {
    return SOAP::Data->type('ns:SOAPStruct' => \SOAP::Data->value(
        map { SOAP::Data->name($_->[0] => $value->{$_->[0]})->type($_->[1]) } @MEMBERS))
        ->attr({'xmlns:ns' => $TYPES});
  }
  return SOAP::Data->type($type => $value);
}

# A call of the rpc binding: (OPERATION, TYPE, VALUE) gives the echo and
# why it is wrong, if it is; no VALUE for echoVoid.
sub rpc_client {
  # The method element under a prefix (ns, not uri, which would make the
  # operation namespace the default one and so qualify every parameter and
  # struct member in it).
  my $soap = SOAP::Lite->ns($OPERATIONS, 'm')->proxy(shift)->on_action(sub { qq("$OPERATIONS") });
  $soap->autotype(1);
  return sub {
    my ($operation, $type, $value) = @_;
    my @parameters = defined $value ? encoded($type, $value)->name(parameter($operation)) : ();
    my $som = $soap->call($operation => @parameters);
    return (undef, 'fault ' . fault_text($som)) if $som->fault;
    my $got = $som->result;
    # An empty array comes back as an element with no value.
    $got = [] if ref $value eq 'ARRAY' && !@$value && !defined $got;
    return ($got, undef);
  };
}

# VALUE as the literal element NAME of xsd TYPE: an array's items named
# after TYPE and a struct's members, both in the types' namespace. Text is
# escaped here: SOAP::Lite writes an untyped value as it is.
sub literal_element {
  my ($name, $type, $value) = @_;
  my $content = ref $value eq 'ARRAY' ? [map { literal_element("s:$type", $type, $_) } @$value]
      : ref $value eq 'HASH' ? [map { literal_element("s:$_->[0]", $_->[1], $value->{$_->[0]}) } @MEMBERS]
      : $type eq 'base64Binary' ? encode_base64($value, '')
      : SOAP::Utils::encode_data($value);
  return SOAP::Data->name($name => $content) unless ref $content;
  return SOAP::Data->name($name => @$content ? \SOAP::Data->value(@$content) : '');
}

sub children {
  my $content = shift->value;
  return ref $content ? $$content->value : ();
}

# ELEMENT if it is NAME in namespace URI ('' for none); dies otherwise.
sub named {
  my ($element, $uri, $name) = @_;
  my ($got_uri, $got_name) = defined $element ? ($element->uri // '', $element->name) : ('', 'nothing');
  die "expected {$uri}$name, got {$got_uri}$got_name\n" unless $got_uri eq $uri && $got_name eq $name;
  return $element;
}

# A response ELEMENT read as a value shaped like EXPECTED, of xsd TYPE: an
# array from its items, a struct from its members, else its text.
sub literal_value {
  my ($element, $type, $expected) = @_;
  my @children = children($element);
  if (ref $expected eq 'ARRAY') {
    return [map { literal_value(named($_, $TYPES, $type), $type, $expected->[0]) } @children];
  }
  if (ref $expected eq 'HASH') {
    die 'a struct of ' . scalar(@children) . " elements\n" unless @children == @MEMBERS;
    return {map { my ($member, $member_type) = @{$MEMBERS[$_]};
                  ($member => literal_value(named($children[$_], $TYPES, $member), $member_type, '')) }
            0 .. $#MEMBERS};
  }
  die 'elements where text belongs: ' . join(' ', map { $_->name } @children) . "\n" if @children;
  return $type eq 'base64Binary' ? decode_base64($element->value) : $element->value;
}

# A call of the document/literal binding, as rpc_client's.
sub literal_client {
  my $soap = SOAP::Lite->soapversion(1.2)->ns($OPERATIONS, 'm')->proxy(shift)
      ->on_action(sub { undef });  # no SOAPAction header: the action goes in the content type
  $soap->autotype(0);
  $soap->encodingStyle('');  # else SOAP::Lite puts encodingStyle on the Envelope, refused in SOAP 1.2
  $soap->serializer->register_ns($TYPES => 's');
  return sub {
    my ($operation, $type, $value) = @_;
    # Reading a SOAP 1.1 answer (a fault) switches SOAP::Lite's globals to
    # 1.1, which would garble every later request.
    SOAP::Lite->soapversion(1.2);
    # SOAP::Lite has no setting for the content type's action parameter.
    local $SOAP::Constants::DEFAULT_HTTP_CONTENT_TYPE = qq(application/soap+xml; action="$OPERATIONS");
    # With no parameter at all SOAP::Lite would mark the operation's element
    # xsi:nil; an empty piece of raw XML leaves it just empty.
    my $request = defined $value ? literal_element(parameter($operation), $type, $value)
                                 : SOAP::Data->type(xml => '');
    my $som = $soap->call($operation => $request);
    return (undef, 'fault ' . fault_text($som)) if $som->fault;
    my @parts = children(named($som->dataof('/Envelope/Body/[1]'), $OPERATIONS, "${operation}Response"));
    die scalar(@parts) . " elements in the response\n" unless @parts == (defined $value ? 1 : 0);
    return (defined $value ? literal_value(named($parts[0], '', 'return'), $type, $value) : undef, undef);
  };
}

my $literal = @ARGV > 1 && $ARGV[0] eq '--literal';
my $call = ($literal ? \&literal_client : \&rpc_client)->($ARGV[-1]);

# The call's echo and why it is wrong. A call dies on an HTTP error without
# a SOAP answer, on an answer SOAP::Lite cannot parse and on a literal one
# shaped unlike the schema: that fails the operation alone.
sub attempt {
  my @outcome = eval { $call->(@_) };
  return @outcome unless $@;
  (my $error = $@) =~ s/\s+/ /g;
  $error =~ s/^ | $//g;
  return (undef, substr($error, 0, 200));
}

for my $case (@CASES) {
  my ($operation, $type, @values) = @$case;
  my $why;
  for my $value (@values) {
    (my $got, $why) = attempt($operation, $type, $value);
    $why //= 'sent ' . shown($value) . ', got ' . shown($got) unless same($value, $got);
    last if defined $why;
  }
  report($operation, $why);
}
report('echoVoid', (attempt('echoVoid'))[1]);
exit($failed ? 1 : 0);
