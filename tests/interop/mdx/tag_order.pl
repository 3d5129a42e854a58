#!/usr/bin/perl
# tag_order.pl FILE.MDX TAG: the record numbers in TAG of a production index,
# one per line, in the order Perl XBase's index reader walks them.
use strict;
use warnings;
use XBase::Index;

my ($file, $tag) = @ARGV;
die "usage: tag_order.pl FILE.MDX TAG\n" unless defined $tag;

my $index = XBase::Index->new($file, tag => $tag) or die "tag_order.pl: " . XBase::Index->errstr;
$index->prepare_select or die "tag_order.pl: " . $index->errstr;
while (my ($key, $record) = $index->fetch) {
    print "$record\n";
}
die "tag_order.pl: " . $index->errstr if $index->errstr;
