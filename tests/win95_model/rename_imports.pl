#!/usr/bin/perl
# Copies a Windows executable, renaming DLLs in its import directory to names of the same length,
# so that the copy loads stand-ins found beside it instead; every other byte stays as it was.
# Usage: rename_imports.pl IN OUT OLD.dll=NEW.dll...
# Fails, writing nothing, unless each OLD names exactly one imported DLL (in any letter case).
use strict;
use warnings;

die "usage: $0 IN OUT OLD.dll=NEW.dll...\n" unless @ARGV >= 3;
my ($in, $out, @renames) = @ARGV;

open(my $fh, '<:raw', $in) or die "$0: cannot read $in: $!\n";
my $image = do { local $/; <$fh> };
close($fh);

sub field {
  my ($offset, $size) = @_;
  die "$0: $in ends inside its headers\n" if $offset + $size > length($image);
  return unpack($size == 2 ? 'v' : 'V', substr($image, $offset, $size));
}

my $pe = field(0x3c, 4);
die "$0: $in is not a PE image\n" unless substr($image, $pe, 4) eq "PE\0\0";
my $sections = field($pe + 6, 2);
my $optional = $pe + 24;
my $magic = field($optional, 2);
# PE32 and PE32+ differ in where the data directories begin.
my $directories = $magic == 0x10b ? $optional + 96
                : $magic == 0x20b ? $optional + 112
                : die "$0: $in has an unknown optional header (magic $magic)\n";
my $imports = field($directories + 8, 4);
die "$0: $in has no import directory\n" unless $imports;
my $table = $optional + field($pe + 20, 2);

# The file offset of a relative virtual address, through the section that holds it.
sub offset_of {
  my ($rva) = @_;
  for my $i (0 .. $sections - 1) {
    my $header = $table + 40 * $i;
    my ($virtual_size, $address, $raw_size, $raw) =
      map { field($header + $_, 4) } (8, 12, 16, 20);
    my $size = $virtual_size > $raw_size ? $virtual_size : $raw_size;
    return $rva - $address + $raw if $rva >= $address && $rva < $address + $size;
  }
  die "$0: $in has no section for address $rva\n";
}

# Each descriptor is 20 bytes, its name's address at 12; an all-zero one ends the table.
my @names;
for (my $descriptor = offset_of($imports);; $descriptor += 20) {
  my $name = field($descriptor + 12, 4);
  last if $name == 0 && field($descriptor + 16, 4) == 0;
  my $at = offset_of($name);
  my $end = index($image, "\0", $at);
  die "$0: $in has an unterminated DLL name\n" if $end < 0;
  push @names, [$at, substr($image, $at, $end - $at)];
}

for my $rename (@renames) {
  my ($old, $new) = $rename =~ /^([^=]+)=([^=]+)$/
    or die "$0: '$rename' is not OLD=NEW\n";
  die "$0: $new is not as long as $old\n" unless length($new) == length($old);
  my @found = grep { lc($_->[1]) eq lc($old) } @names;
  die sprintf("%s: %s is imported %d times by %s, not once (it imports %s)\n",
              $0, $old, scalar(@found), $in, join(', ', map { $_->[1] } @names))
    unless @found == 1;
  substr($image, $found[0][0], length($new)) = $new;
}

open($fh, '>:raw', "$out.tmp") or die "$0: cannot write $out.tmp: $!\n";
print $fh $image or die "$0: cannot write $out.tmp: $!\n";
close($fh) or die "$0: cannot write $out.tmp: $!\n";
rename("$out.tmp", $out) or die "$0: cannot rename $out.tmp to $out: $!\n";
