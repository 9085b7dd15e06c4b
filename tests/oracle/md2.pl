#!/usr/bin/perl
# MD2 (RFC 1319) of files, printed as md5sum prints: "<digest>  <file>".
# An oracle for the program's MD2 that shares no code with it; checks itself
# against the RFC's test suite before it hashes anything and fails if that
# does not match. Only perl-base is needed.
use strict;
use warnings;

# RFC 1319, 3.2: the permutation of 0..255 built from the digits of pi.
my @S = (
    41,  46,  67,  201, 162, 216, 124, 1,   61,  54,  84,  161, 236, 240, 6,   19,
    98,  167, 5,   243, 192, 199, 115, 140, 152, 147, 43,  217, 188, 76,  130, 202,
    30,  155, 87,  60,  253, 212, 224, 22,  103, 66,  111, 24,  138, 23,  229, 18,
    190, 78,  196, 214, 218, 158, 222, 73,  160, 251, 245, 142, 187, 47,  238, 122,
    169, 104, 121, 145, 21,  178, 7,   63,  148, 194, 16,  137, 11,  34,  95,  33,
    128, 127, 93,  154, 90,  144, 50,  39,  53,  62,  204, 231, 191, 247, 151, 3,
    255, 25,  48,  179, 72,  165, 181, 209, 215, 94,  146, 42,  172, 86,  170, 198,
    79,  184, 56,  210, 150, 164, 125, 182, 118, 252, 107, 226, 156, 116, 4,   241,
    69,  157, 112, 89,  100, 113, 135, 32,  134, 91,  207, 101, 230, 45,  168, 2,
    27,  96,  37,  173, 174, 176, 185, 246, 28,  70,  97,  105, 52,  64,  126, 15,
    85,  71,  163, 35,  221, 81,  175, 58,  195, 92,  249, 206, 186, 197, 234, 38,
    44,  83,  13,  110, 133, 40,  132, 9,   211, 223, 205, 244, 65,  129, 77,  82,
    106, 220, 55,  200, 108, 193, 171, 250, 36,  225, 123, 8,   12,  189, 177, 74,
    120, 136, 149, 139, 227, 99,  232, 109, 233, 203, 213, 254, 59,  0,   29,  57,
    242, 239, 183, 14,  102, 88,  208, 228, 166, 119, 114, 248, 235, 117, 75,  10,
    49,  68,  80,  180, 143, 237, 31,  26,  219, 153, 141, 51,  159, 17,  131, 20,
);

# A typing slip in the table shows here before any vector is tried.
{
    my %seen = map { $_ => 1 } @S;
    die "md2.pl: the substitution table is not a permutation of 0..255\n"
        unless @S == 256 && keys %seen == 256;
}

# The rounds over the 48-byte buffer run in code written out at start-up:
# each round is one nested expression on plain scalars, which is what makes
# Perl fast enough for files of a few megabytes.
my $digest_padded = do {
    my $rounds = "        \$t = 0;\n";
    for my $round (0 .. 17) {
        my $step = '$t';
        $step = "(\$x$_ ^= \$S[$step])" for 0 .. 47;
        $rounds .= "        \$t = ($step + $round) & 255;\n";
    }
    # 3.4: copy a block into X and XOR it with the state, then the rounds.
    my $block = join('', map { "        \$x" . (16 + $_) . " = \$m$_; \$x" . (32 + $_) . " = \$m$_ ^ \$x$_;\n" } 0 .. 15)
        . $rounds;
    my $m = join(', ', map { "\$m$_" } 0 .. 15);
    my $code = "sub {\n    my (\$data) = \@_;\n";
    # 3.3: the buffer X starts at zero.
    $code .= "    my (" . join(', ', map { "\$x$_" } 0 .. 47) . ") = (0) x 48;\n";
    $code .= "    my (" . join(', ', map { "\$c$_" } 0 .. 15) . ") = (0) x 16;\n";
    $code .= "    my (\$l, \$t) = (0, 0);\n";
    $code .= "    for (my \$at = 0; \$at < length \$data; \$at += 16) {\n";
    $code .= "        my ($m) = unpack 'C16', substr(\$data, \$at, 16);\n";
    # 3.2: the checksum, with the RFC's correction (C[j] is XORed, not set).
    $code .= "        \$l = (\$c$_ ^= \$S[\$m$_ ^ \$l]);\n" for 0 .. 15;
    $code .= $block . "    }\n";
    # 3.2: the checksum, appended, is the last block.
    $code .= "    {\n        my ($m) = (" . join(', ', map { "\$c$_" } 0 .. 15) . ");\n" . $block . "    }\n";
    $code .= "    return pack 'C16', " . join(', ', map { "\$x$_" } 0 .. 15) . ";\n}\n";
    eval $code or die "md2.pl: $@";
};

sub md2_hex {
    my ($message) = @_;
    # 3.1: pad with i bytes of value i, 1 <= i <= 16, to a multiple of 16.
    my $pad = 16 - length($message) % 16;
    return unpack 'H32', $digest_padded->($message . chr($pad) x $pad);
}

# RFC 1319, A.5, and the million a's everybody checks: together they pass
# through every entry of the table many times.
my @suite = (
    ['', '8350e5a3e24c153df2275c9f80692773'],
    ['a', '32ec01ec4a6dac72c0ab96fb34c0b5d1'],
    ['abc', 'da853b0d3f88d99b30283a69e6ded6bb'],
    ['message digest', 'ab4f496bfb2a530b219ff33031fe06b0'],
    ['abcdefghijklmnopqrstuvwxyz', '4e8ddff3650292ab5a4108c3aa47940b'],
    ['ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789', 'da33def2a42df13975352846c30338cd'],
    ['1234567890' x 8, 'd5976f79d83d3a0dc9806c3c66f3efd8'],
    ['a' x 1000000, '8c0a09ff1216ecaf95c8130953c62efd'],
);
for my $vector (@suite) {
    my ($message, $expected) = @$vector;
    my $got = md2_hex($message);
    if ($got ne $expected) {
        my $shown = length $message > 80 ? length($message) . ' bytes' : "\"$message\"";
        die "md2.pl: MD2($shown) gives $got, expected $expected\n";
    }
}

for my $file (@ARGV) {
    open my $in, '<:raw', $file or die "md2.pl: $file: $!\n";
    local $/;
    my $content = <$in>;
    $content = '' unless defined $content;
    close $in;
    print md2_hex($content), "  $file\n";
}
