#!/usr/bin/perl
# read_xbase.pl TABLE.DBF [TAG]: the table's live rows as UTF-8 CSV, in row
# order or, given TAG, walked through that tag of the table's production .MDX.
# XBase hands text over as stored; the tables under test declare cp1252.
use strict;
use warnings;
use Encode qw(decode encode);
use File::Basename qw(dirname basename);
use XBase;

my ($file, $tag) = @ARGV;
die "usage: read_xbase.pl TABLE.DBF [TAG]\n" unless defined $file;

# Not opened with readonly => 1: this XBase then never opens the file at all.
my $table = XBase->new(name => $file) or die XBase->errstr;
my @names = $table->field_names;
my @types = $table->field_types;

my $cursor;
if (defined $tag) {
    my ($mdx) = grep { lc(basename($_)) eq lc(basename($file) =~ s/\.dbf$/.mdx/ir) } glob(dirname($file) . '/*');
    die "no .MDX beside $file\n" unless defined $mdx;
    $cursor = $table->prepare_select_with_index([$mdx, $tag]) or die $table->errstr;
} else {
    $cursor = $table->prepare_select() or die $table->errstr;
}

sub text_of {
    my ($type, $value) = @_;
    return '' unless defined $value;
    if ($type eq 'L') { return $value ? 'T' : 'F'; }
    if ($type eq 'N' or $type eq 'F') { return $value + 0; }
    my $text = decode('cp1252', $value);
    $text =~ s/ +$//;
    return $text;
}

sub csv_line {
    return join(',', map { /[,"\r\n]/ ? '"' . s/"/""/gr . '"' : $_ } @_) . "\n";
}

binmode STDOUT;
print encode('UTF-8', csv_line(@names));
while (my @values = $cursor->fetch) {
    print encode('UTF-8', csv_line(map { text_of($types[$_], $values[$_]) } 0 .. $#values));
}
