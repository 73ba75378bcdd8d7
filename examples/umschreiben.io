# settings of the report job
name   =  monthly report

output.dir= /srv/reports
# keep 12 months
keep = 12
